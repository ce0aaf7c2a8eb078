// Streams, string lists, registry keys and code-page conversion.
#include <gtest/gtest.h>

#include "framework/Framework.h"

using namespace vm;

namespace {
std::string TempPath(const std::string& name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "velmora_st_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}
} // namespace

TEST(MemoryStream, ReadsWritesAndSeeksWithinItsBounds) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.Size(), 6);
    s.SetPosition(2);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 4u) << "a read stops at the end";
    EXPECT_STREQ(buf, "cdef");
    EXPECT_EQ(s.Read(buf, 1), 0u);
    s.SetPosition(4);
    EXPECT_THROW(s.ReadBuffer(buf, 3), EStreamError);
    EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
    EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 4);
    s.Seek(10, TSeekOrigin::soBeginning);
    s.WriteBuffer("z", 1);   // a write past the end fills the gap with zeros
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(s.Bytes()[8], 0);
    s.SetSize(3);
    EXPECT_EQ(s.Position(), 3);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadAll(), "abc");
}

TEST(Stream, DestructionNoticesRunOnceUnlessWithdrawnAndAreNotCopied) {
    std::vector<std::string> heard;
    {
        TMemoryStream watched;
        watched.AddDestructionNotice([&] { heard.push_back("first"); });
        std::uint64_t withdrawn = watched.AddDestructionNotice([&] { heard.push_back("withdrawn"); });
        watched.AddDestructionNotice([&] { heard.push_back("last"); });
        watched.RemoveDestructionNotice(withdrawn);
        TMemoryStream copy = watched;   // another stream: nobody watches it
        EXPECT_TRUE(heard.empty());
    }
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "last"}));
}

TEST(FileStream, RoundTripsAndNamesTheFileInErrors) {
    std::string path = TempPath("data.bin");
    {
        TFileStream out(path, fmCreate);
        out.WriteBuffer("0123456789", 10);
        out.SetSize(8);
    }
    TMemoryStream in;
    in.LoadFromFile(path);
    EXPECT_EQ(std::string(in.Bytes().begin(), in.Bytes().end()), "01234567");
    {
        TFileStream copy(path, fmOpenReadWrite);
        copy.Seek(0, TSeekOrigin::soEnd);
        copy.WriteBuffer("89", 2);
        EXPECT_EQ(copy.Size(), 10);
    }
    DeleteFileA(path.c_str());
    std::string missing = TempPath("no such folder\\x.bin");
    try {
        TFileStream s(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EStreamError& e) {
        std::string m = e.what();
        EXPECT_EQ(m.rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << m;
    }
    EXPECT_THROW(TFileStream(missing, fmCreate), EStreamError);
}

TEST(ResourceStream, ReadsEveryByteOfAnRcdataResource) {
    TResourceStream s(GetModuleHandleA(nullptr), "BLOCKOFBYTES");
    std::string bytes = s.ReadAll();
    EXPECT_EQ(bytes, std::string("VELMORA\x01\x02\x03\x00\xFF", 12));
    EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
    EXPECT_TRUE(TResourceStream::Exists(GetModuleHandleA(nullptr), "BLOCKOFBYTES"));
    EXPECT_FALSE(TResourceStream::Exists(GetModuleHandleA(nullptr), "NOTTHERE"));
    try {
        TResourceStream missing(GetModuleHandleA(nullptr), "NOTTHERE");
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Resource NOTTHERE not found");
    }
}

TEST(StringList, TextSplitsAnyLineEndAndJoinsWithCrLf) {
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    list.SetText("a\r\n\r\nb\r\n");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"a", "", "b"})) << "empty lines stay, the final break adds none";
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates) {
    TStringList list;
    list.SetSorted(true);
    list.Add("Games");
    list.Add("animals");
    list.Add("Cars");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"animals", "Cars", "Games"}));
    EXPECT_EQ(list.IndexOf("CARS"), 1);
    EXPECT_EQ(list.IndexOf("Boats"), -1);
    EXPECT_THROW(list.Insert(0, "x"), EVelmoraError);
    list.SetDuplicates(TDuplicates::dupIgnore);
    EXPECT_EQ(list.Add("cars"), 1);
    EXPECT_EQ(list.Count(), 3);
    list.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(list.Add("GAMES"), EVelmoraError);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_THROW(list[3], EVelmoraError);
    EXPECT_THROW(list.Delete(-1), EVelmoraError);
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    TStringList list{"plain", "with space", "with,comma", "say \"hi\"", ""};
    std::string text = list.CommaText();
    EXPECT_EQ(text, "plain,\"with space\",\"with,comma\",\"say \"\"hi\"\"\",\"\"");
    TStringList back;
    back.SetCommaText(text);
    EXPECT_EQ(back.Items(), list.Items());
    back.SetCommaText("a b,c");
    EXPECT_EQ(back.Items(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StringList, ChangesInAnUpdateNotifyOnce) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.BeginUpdate();
    list.Add("a");
    list.Add("b");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.Add("c");
    EXPECT_EQ(changes, 2);
    list.SetValue("Key", "1");
    EXPECT_EQ(list.Values("KEY"), "1");
    list.SetValue("Key", "");
    EXPECT_EQ(list.IndexOf("Key=1"), -1);
}

TEST(StringList, FilesRoundTrip) {
    std::string path = TempPath("list.txt");
    TStringList list{"first", "second line"};
    list.SaveToFile(path);
    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Items(), list.Items());
    DeleteFileA(path.c_str());
    EXPECT_THROW(back.LoadFromFile(path), EStreamError);
    EXPECT_EQ(back.Count(), 2) << "a failed load keeps the list";
}

TEST(Registry, StringsRoundTripWithTheirTerminatingZero) {
    const std::string path = "Software\\VelmoraFrameworkTest";
    TRegistryKey::DeleteTree(HKEY_CURRENT_USER, path);
    {
        TRegistryKey key;
        bool created = false;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path, KEY_READ | KEY_WRITE, &created), ERROR_SUCCESS);
        EXPECT_TRUE(created);
        ASSERT_EQ(key.WriteString("45", "C:\\Program Files\\Velmora\\Velmora.exe"), ERROR_SUCCESS);
        DWORD type = 0, size = 0;
        RegQueryValueExA(key.Handle(), "45", nullptr, &type, nullptr, &size);
        EXPECT_EQ(type, DWORD(REG_SZ));
        EXPECT_EQ(size, std::string("C:\\Program Files\\Velmora\\Velmora.exe").size() + 1);
        // A value written by someone else without its zero still reads whole.
        RegSetValueExA(key.Handle(), "raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
        EXPECT_EQ(key.ReadString("raw").value_or("?"), "abc");
        key.WriteInteger("number", 7);
        EXPECT_FALSE(key.ReadString("number").has_value()) << "not a string";
        EXPECT_EQ(key.ReadInteger("number").value_or(0), 7u);
    }
    TRegistryKey again;
    ASSERT_EQ(again.Open(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    EXPECT_EQ(again.ReadString("45").value_or(""), "C:\\Program Files\\Velmora\\Velmora.exe");
    EXPECT_FALSE(again.ReadString("missing").has_value());
    EXPECT_NE(again.WriteString("x", "y"), ERROR_SUCCESS) << "opened for reading only";
    again.Close();
    EXPECT_EQ(TRegistryKey::DeleteTree(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    EXPECT_EQ(again.Open(HKEY_CURRENT_USER, path), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(again.IsOpen());
    EXPECT_EQ(again.WriteString("x", "y"), ERROR_INVALID_HANDLE);
}

TEST(Text, ConversionsUseTheSystemCodePage) {
    std::string ascii;
    for (char c = 32; c < 127; ++c) ascii += c;
    EXPECT_EQ(WideToAnsi(AnsiToWide(ascii)), ascii);
    EXPECT_EQ(AnsiToWide("").size(), 0u);
    if (GetACP() == 1252) {
        EXPECT_EQ(AnsiToWide("caf\xE9"), L"caf\u00E9");
        EXPECT_EQ(WideToAnsi(L"caf\u00E9"), "caf\xE9");
    }
    EXPECT_TRUE(SameText("Button1", "BUTTON1"));
    EXPECT_FALSE(SameText("Button1", "Button2"));
}
