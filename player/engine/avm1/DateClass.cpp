// Date: a time value in milliseconds since 1970 (UTC), read and set in UTC or in the host's
// local time. Local time is the host's offset from UTC at the time the movie asks (no rules
// for daylight saving are applied to other dates).
#include <cmath>
#include <cstdio>

#include "avm1/Builtins.h"

namespace swf::avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;

// What a Date instance keeps: its time value (NaN for an invalid date).
struct DateState final : NativeState {
    double time = NAN;
    bool convertsAsText() const override { return true; }
};

DateState* dateOf(const Value& v) {
    Object* o = v.object();
    return o ? dynamic_cast<DateState*>(o->nativeState.get()) : nullptr;
}

double localOffsetMs(Vm& vm) { return vm.host().wallClock().utcOffsetMinutes * 60000.0; }

double nowMs(Vm& vm) { return static_cast<double>(vm.host().wallClock().epochMillis); }

// Days from 1970-01-01 to the first of `month` (0-11, may run over) in `year`.
double daysFromCivil(double year, double month) {
    double y = year + std::floor(month / 12);
    double m = std::fmod(month, 12);
    if (m < 0) m += 12;
    // Shift the year to start in March so that the leap day comes last.
    double yy = m < 2 ? y - 1 : y;
    double era = std::floor(yy / 400);
    double yoe = yy - era * 400;
    double mp = m < 2 ? m + 10 : m - 2;
    double doy = std::floor((153 * mp + 2) / 5);
    double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
    return era * 146097 + doe - 719468;
}

double makeTime(double year, double month, double date, double h, double mi, double s, double ms) {
    for (double v : {year, month, date, h, mi, s, ms})
        if (!std::isfinite(v)) return NAN;
    double days = daysFromCivil(std::trunc(year), std::trunc(month)) + std::trunc(date) - 1;
    return days * kMsPerDay + std::trunc(h) * 3600000.0 + std::trunc(mi) * 60000.0 + std::trunc(s) * 1000.0 +
           std::trunc(ms);
}

// A time value taken apart (in whichever zone the caller shifted it to).
struct Fields {
    double year, month, date, day, hours, minutes, seconds, ms;
};

Fields split(double t) {
    double days = std::floor(t / kMsPerDay);
    double inDay = t - days * kMsPerDay;
    double z = days + 719468;
    double era = std::floor(z / 146097);
    double doe = z - era * 146097;
    double yoe = std::floor((doe - std::floor(doe / 1460) + std::floor(doe / 36524) - std::floor(doe / 146096)) / 365);
    double doy = doe - (365 * yoe + std::floor(yoe / 4) - std::floor(yoe / 100));
    double mp = std::floor((5 * doy + 2) / 153);
    Fields f{};
    f.date = doy - std::floor((153 * mp + 2) / 5) + 1;
    f.month = mp < 10 ? mp + 3 - 1 : mp - 9 - 1;
    f.year = yoe + era * 400 + (f.month <= 1 ? 1 : 0);
    f.day = std::fmod(days + 4, 7);
    if (f.day < 0) f.day += 7;
    f.hours = std::floor(inDay / 3600000);
    f.minutes = std::floor(std::fmod(inDay, 3600000) / 60000);
    f.seconds = std::floor(std::fmod(inDay, 60000) / 1000);
    f.ms = std::floor(std::fmod(inDay, 1000));
    return f;
}

double argNumber(Vm& vm, NativeCall& c, size_t i, double fallback) {
    return i < c.args.size() ? vm.toNumber(c.args[i]) : fallback;
}

std::string dateText(Vm& vm, double t) {
    double offset = localOffsetMs(vm);
    if (!std::isfinite(t + offset)) return "Invalid Date";
    Fields f = split(t + offset);
    if (!(f.day >= 0 && f.day < 7 && f.month >= 0 && f.month < 12)) return "Invalid Date";
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int offsetMinutes = static_cast<int>(offset / 60000);
    int absOffset = std::abs(offsetMinutes);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %.0f", days[static_cast<int>(f.day)],
                  months[static_cast<int>(f.month)], static_cast<int>(f.date), static_cast<int>(f.hours),
                  static_cast<int>(f.minutes), static_cast<int>(f.seconds), offsetMinutes < 0 ? '-' : '+',
                  absOffset / 60, absOffset % 60, f.year);
    return buf;
}

// new Date(), new Date(time), new Date(year, month[, date, hours, minutes, seconds, ms]).
double timeFromArguments(Vm& vm, NativeCall& c) {
    if (c.args.empty()) return nowMs(vm);
    if (c.args.size() == 1) {
        // The one argument is read as a number, through valueOf even for a date (which would
        // convert as text otherwise): new Date(date) copies the time.
        const Value& arg = c.args[0];
        if (Object* o = arg.object()) {
            Value valueOf = vm.get(o, "valueOf");
            if (valueOf.object() && valueOf.object()->asFunction()) {
                Value number = vm.call(valueOf, arg, {});
                return number.isObject() ? NAN : vm.toNumber(number);
            }
        }
        return vm.toNumber(arg);
    }
    double year = vm.toNumber(c.args[0]);
    if (std::isfinite(year) && std::trunc(year) <= 99) year = 1900 + std::trunc(year);
    double local = makeTime(year, argNumber(vm, c, 1, 0), argNumber(vm, c, 2, 1), argNumber(vm, c, 3, 0),
                            argNumber(vm, c, 4, 0), argNumber(vm, c, 5, 0), argNumber(vm, c, 6, 0));
    return local - localOffsetMs(vm);
}

Value constructDate(Vm& vm, NativeCall& c) {
    Object* o = c.self.object();
    if (!o) o = vm.make<Object>(vm.get(c.callee, "prototype").object());
    auto state = std::make_unique<DateState>();
    state->time = timeFromArguments(vm, c);
    o->nativeState = std::move(state);
    return Value(o);
}

// Date() as a plain function ignores its arguments and gives the current time as text.
Value callDate(Vm& vm, NativeCall& c) {
    if (c.constructing) return constructDate(vm, c);
    return Value(dateText(vm, nowMs(vm)));
}

Value dateUtc(Vm& vm, NativeCall& c) {
    if (c.args.size() < 2) return Value(NAN);
    double year = vm.toNumber(c.args[0]);
    if (std::isfinite(year) && std::trunc(year) <= 99) year = 1900 + std::trunc(year);
    return Value(makeTime(year, argNumber(vm, c, 1, 0), argNumber(vm, c, 2, 1), argNumber(vm, c, 3, 0),
                          argNumber(vm, c, 4, 0), argNumber(vm, c, 5, 0), argNumber(vm, c, 6, 0)));
}

Value getTime(Vm& vm, NativeCall& c) {
    DateState* d = dateOf(c.self);
    return d ? Value(d->time) : Value();
}

Value toString(Vm& vm, NativeCall& c) {
    DateState* d = dateOf(c.self);
    return d ? Value(dateText(vm, d->time)) : Value();
}

Value getTimezoneOffset(Vm& vm, NativeCall& c) {
    DateState* d = dateOf(c.self);
    if (!d) return Value();
    return Value(std::isnan(d->time) ? NAN : -localOffsetMs(vm) / 60000);
}

// One reader per field, in local time or UTC.
template <double Fields::*Field, bool Utc, int Bias = 0>
Value getField(Vm& vm, NativeCall& c) {
    DateState* d = dateOf(c.self);
    if (!d) return Value();
    if (!std::isfinite(d->time)) return Value(NAN);
    Fields f = split(d->time + (Utc ? 0 : localOffsetMs(vm)));
    return Value(f.*Field - Bias);
}

// Setters: the named fields take the arguments in order (setHours(h, m, s, ms)); the others
// keep what the date had. An invalid date stays invalid except through setFullYear/setYear,
// which start from time 0.
enum class Part { Year, Month, Date, Hours, Minutes, Seconds, Ms };

template <Part First, int Count, bool Utc, bool ShortYear = false>
Value setFields(Vm& vm, NativeCall& c) {
    DateState* d = dateOf(c.self);
    if (!d) return Value();
    double offset = Utc ? 0 : localOffsetMs(vm);
    double base = d->time;
    if (std::isnan(base)) {
        if (First != Part::Year) return Value(NAN);
        base = -offset;
    }
    Fields f = split(base + offset);
    double values[7] = {f.year, f.month, f.date, f.hours, f.minutes, f.seconds, f.ms};
    if (c.args.empty()) {
        d->time = NAN;
        return Value(NAN);
    }
    int first = static_cast<int>(First);
    for (int i = 0; i < Count && static_cast<size_t>(i) < c.args.size(); ++i) values[first + i] = vm.toNumber(c.args[i]);
    if (ShortYear && std::isfinite(values[0]) && std::trunc(values[0]) >= 0 && std::trunc(values[0]) <= 99)
        values[0] = 1900 + std::trunc(values[0]);
    double t = makeTime(values[0], values[1], values[2], values[3], values[4], values[5], values[6]);
    d->time = std::isnan(t) ? NAN : t - offset;
    return Value(d->time);
}

Value setTime(Vm& vm, NativeCall& c) {
    DateState* d = dateOf(c.self);
    if (!d) return Value();
    d->time = c.args.empty() ? NAN : vm.toNumber(c.args[0]);
    return Value(d->time);
}

}  // namespace

void installDate(Vm& vm) {
    Object* proto = vm.newObject();
    FunctionObject* ctor = defineClass(vm, "Date", proto, callDate, nullptr);
    vm.defineMethod(ctor, "UTC", dateUtc);
    struct Method {
        const char* name;
        NativeFn fn;
    };
    const Method methods[] = {
        {"getFullYear", getField<&Fields::year, false>},
        {"getYear", getField<&Fields::year, false, 1900>},
        {"getMonth", getField<&Fields::month, false>},
        {"getDate", getField<&Fields::date, false>},
        {"getDay", getField<&Fields::day, false>},
        {"getHours", getField<&Fields::hours, false>},
        {"getMinutes", getField<&Fields::minutes, false>},
        {"getSeconds", getField<&Fields::seconds, false>},
        {"getMilliseconds", getField<&Fields::ms, false>},
        {"getUTCFullYear", getField<&Fields::year, true>},
        {"getUTCYear", getField<&Fields::year, true, 1900>},
        {"getUTCMonth", getField<&Fields::month, true>},
        {"getUTCDate", getField<&Fields::date, true>},
        {"getUTCDay", getField<&Fields::day, true>},
        {"getUTCHours", getField<&Fields::hours, true>},
        {"getUTCMinutes", getField<&Fields::minutes, true>},
        {"getUTCSeconds", getField<&Fields::seconds, true>},
        {"getUTCMilliseconds", getField<&Fields::ms, true>},
        {"getTime", getTime},
        {"valueOf", getTime},
        {"getTimezoneOffset", getTimezoneOffset},
        {"toString", toString},
        {"setFullYear", setFields<Part::Year, 3, false>},
        {"setYear", setFields<Part::Year, 1, false, true>},
        {"setMonth", setFields<Part::Month, 2, false>},
        {"setDate", setFields<Part::Date, 1, false>},
        {"setHours", setFields<Part::Hours, 4, false>},
        {"setMinutes", setFields<Part::Minutes, 3, false>},
        {"setSeconds", setFields<Part::Seconds, 2, false>},
        {"setMilliseconds", setFields<Part::Ms, 1, false>},
        {"setUTCFullYear", setFields<Part::Year, 3, true>},
        {"setUTCMonth", setFields<Part::Month, 2, true>},
        {"setUTCDate", setFields<Part::Date, 1, true>},
        {"setUTCHours", setFields<Part::Hours, 4, true>},
        {"setUTCMinutes", setFields<Part::Minutes, 3, true>},
        {"setUTCSeconds", setFields<Part::Seconds, 2, true>},
        {"setUTCMilliseconds", setFields<Part::Ms, 1, true>},
        {"setTime", setTime},
    };
    for (const Method& m : methods) vm.defineMethod(proto, m.name, m.fn);
}

}  // namespace swf::avm1
