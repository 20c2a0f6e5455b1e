// The launch configuration against the real process path and environment.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "config/launch_config.h"

namespace {

std::u16string module_path() {
    std::u16string path(32768, u'\0');
    const DWORD length = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()), 32768);
    path.resize(length);
    return path;
}

std::u16string folder_of(const std::u16string& file) { return file.substr(0, file.find_last_of(u'\\')); }

// Sets LOCALAPPDATA for one test and puts the previous value back afterwards.
class LocalAppDataTest : public testing::Test {
protected:
    void SetUp() override {
        saved_.resize(32768);
        const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", saved_.data(), 32768);
        had_value_ = length > 0;
        saved_.resize(length);
    }
    void TearDown() override { SetEnvironmentVariableW(L"LOCALAPPDATA", had_value_ ? saved_.c_str() : nullptr); }

    static void set(const std::u16string& value) {
        SetEnvironmentVariableW(L"LOCALAPPDATA", reinterpret_cast<const wchar_t*>(value.c_str()));
    }

private:
    std::wstring saved_;
    bool had_value_ = false;
};

TEST_F(LocalAppDataTest, FilesLieBesideTheRunningExecutable) {
    set(u"C:\\Users\\player\\AppData\\Local");
    const LaunchConfig config = resolve_launch_config();
    const std::u16string folder = folder_of(module_path());
    EXPECT_EQ(config.exe_dir.units, folder);
    EXPECT_EQ(config.loader_path.units, folder + u"\\WebView2Loader.dll");
    EXPECT_EQ(config.page_path.units, folder + u"\\index.html");
    EXPECT_EQ(path_text(config.user_data_dir),
              "C:\\Users\\player\\AppData\\Local\\QuorvelLauncher\\WebView2Data");
    EXPECT_TRUE(config.start_url.starts_with("file:///")) << config.start_url;
    EXPECT_TRUE(config.start_url.ends_with("/index.html")) << config.start_url;
}

TEST_F(LocalAppDataTest, AValueLongerThanAnyFirstBufferIsReadWhole) {
    const std::u16string long_value = u"C:\\" + std::u16string(20000, u'd');
    set(long_value);
    EXPECT_EQ(resolve_launch_config().user_data_dir.units,
              long_value + u"\\QuorvelLauncher\\WebView2Data");
}

TEST_F(LocalAppDataTest, UnsetEmptyAndInvalidValuesAreToldApart) {
    SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    EXPECT_EQ(path_text(resolve_launch_config().user_data_dir), "C:\\Temp\\QuorvelLauncher\\WebView2Data");

    set(u"");
    EXPECT_EQ(path_text(resolve_launch_config().user_data_dir), "QuorvelLauncher\\WebView2Data");

    set(std::u16string{u'D', u':', u'\\', char16_t(0xDC00)});
    EXPECT_EQ(path_text(resolve_launch_config().user_data_dir), "C:\\Temp\\QuorvelLauncher\\WebView2Data");

    set(u" D:\\x ");
    EXPECT_EQ(path_text(resolve_launch_config().user_data_dir), " D:\\x \\QuorvelLauncher\\WebView2Data");
}

}  // namespace
