// Filling a list box item by item: the row-by-row update against a full refill per change
// (what every change cost before, and still costs inside BeginUpdate/EndUpdate pairs per item),
// measured in the same run. Prints milliseconds and the ratio.
#include <windows.h>

#include <cstdio>

#include "framework/Framework.h"

using namespace vm;

namespace {
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

double Fill(int count, bool refillEachTime) {
    TForm form(nullptr);
    auto* list = new TListBox(&form);
    list->SetParent(&form);
    form.HandleNeeded();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i) {
        if (refillEachTime) list->Items().BeginUpdate();   // a batch reports a whole-list change
        list->Items().Add("Category " + std::to_string(i));
        if (refillEachTime) list->Items().EndUpdate();
    }
    QueryPerformanceCounter(&end);
    if (SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0) != count) std::printf("count mismatch!\n");
    return Milliseconds(start, end);
}
} // namespace

int main() {
    for (int count : {250, 500, 1000}) {
        double refill = Fill(count, true);
        double rows = Fill(count, false);
        std::printf("%5d items: full refill per item %8.1f ms, row by row %7.1f ms, ratio %.1fx\n", count, refill, rows,
                    rows > 0 ? refill / rows : 0.0);
    }
    return 0;
}
