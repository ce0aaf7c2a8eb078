// The shell's registry helpers: values land with the right type and length, and every failure
// carries the exact error text naming its key or value.

#include <gtest/gtest.h>

#include "app/RegistryHelpers.h"
#include "framework/Errors.h"

using namespace vm;

namespace {

// A per-process key under HKEY_CURRENT_USER, removed with everything below it afterwards.
class RegistryHelpers : public ::testing::Test {
 protected:
  const std::string key = "Software\\VelmoraTests\\" + std::to_string(GetCurrentProcessId());
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "VelmoraTests.swf");
  }

  static DWORD ValueType(HKEY root, const std::string& key, const std::string& name, DWORD* size) {
    DWORD type = 0;
    *size = 0;
    if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, size) != ERROR_SUCCESS)
      return REG_NONE;
    return type;
  }

  void SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY opened;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(opened, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(opened);
  }

  template <typename Call>
  static std::string ErrorOf(Call call) {
    try {
      call();
    } catch (const EVelmoraError& error) {
      return error.what();
    }
    return "(no error)";
  }
};

}  // namespace

TEST_F(RegistryHelpers, WriteUserStringStoresRegSzWithTerminatingZeroAndReadsBack) {
  EXPECT_TRUE(WriteUserString(key + "\\Support", "45", "C:\\Velmora\\Velmora.exe"));
  DWORD size = 0;
  EXPECT_EQ(ValueType(HKEY_CURRENT_USER, key + "\\Support", "45", &size), DWORD(REG_SZ));
  EXPECT_EQ(size, std::string("C:\\Velmora\\Velmora.exe").size() + 1);
  EXPECT_EQ(ReadUserString(key + "\\Support", "45"), "C:\\Velmora\\Velmora.exe");

  EXPECT_TRUE(WriteUserString(key + "\\Support", "45", "0"));
  EXPECT_EQ(ReadUserString(key + "\\Support", "45"), "0");
}

TEST_F(RegistryHelpers, ReadUserStringGivesEmptyTextForMissingKeyOrValue) {
  EXPECT_EQ(ReadUserString(key + "\\Nowhere", "45"), "");
  WriteUserString(key, "other", "x");
  EXPECT_EQ(ReadUserString(key, "45"), "");
}

TEST_F(RegistryHelpers, ReadUserStringAcceptsExpandableAndUnterminatedStrings) {
  SetRaw("expand", REG_EXPAND_SZ, "%TEMP%\\x", 9);
  SetRaw("bare", REG_SZ, "1", 1);  // written without its terminating zero
  SetRaw("empty", REG_SZ, "", 0);
  EXPECT_EQ(ReadUserString(key, "expand"), "%TEMP%\\x");
  EXPECT_EQ(ReadUserString(key, "bare"), "1");
  EXPECT_EQ(ReadUserString(key, "empty"), "");
}

TEST_F(RegistryHelpers, ReadUserStringRejectsValuesOfOtherTypes) {
  DWORD one = 1;
  SetRaw("45", REG_DWORD, &one, sizeof one);
  SetRaw("bin", REG_BINARY, "ab", 2);
  EXPECT_EQ(ErrorOf([&] { ReadUserString(key, "45"); }), "Invalid data type for '45'");
  EXPECT_EQ(ErrorOf([&] { ReadUserString(key, "bin"); }), "Invalid data type for 'bin'");
}

TEST_F(RegistryHelpers, CreateRegistryKeyCreatesMissingParentsAndAcceptsExistingKeys) {
  EXPECT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, key + "\\a\\b\\c"));
  EXPECT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, key + "\\a\\b\\c"));
  HKEY opened;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (key + "\\a\\b\\c").c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
  RegCloseKey(opened);
}

TEST_F(RegistryHelpers, WriteClassesStringWritesTheDefaultValueForAnEmptyName) {
  EXPECT_TRUE(WriteClassesString("VelmoraTests.swf\\Shell\\Open", "", "Open"));
  char data[16] = {};
  LONG size = sizeof data;
  ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "VelmoraTests.swf\\Shell\\Open", data, &size), ERROR_SUCCESS);
  EXPECT_STREQ(data, "Open");
}

TEST_F(RegistryHelpers, FailuresRaiseTheirExactErrorTexts) {
  // A key name component longer than the registry allows cannot be created anywhere.
  const std::string overlong = key + "\\" + std::string(300, 'k');
  EXPECT_EQ(ErrorOf([&] { CreateRegistryKey(HKEY_CURRENT_USER, overlong); }), "Failed to create key " + overlong);
  EXPECT_EQ(ErrorOf([&] { WriteUserString(overlong, "45", "1"); }), "Failed to set data for '45'");
  EXPECT_EQ(ErrorOf([&] { WriteClassesString(std::string(300, 'k'), "", "x"); }), "Failed to set data for ''");
  EXPECT_EQ(ErrorOf([&] { CreateRegistryKey(reinterpret_cast<HKEY>(0x1234), "x"); }), "Failed to create key x");
}
