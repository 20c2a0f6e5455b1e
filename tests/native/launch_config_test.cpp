#include "config/launch_config.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    std::optional<std::u16string> exe_path;
    std::optional<std::u16string> local_app_data;
    std::string loader_path;
    std::string user_data_dir;
    std::string start_url;
};

const std::u16string LONE_SURROGATE{char16_t(0xD800)};

TEST(ComputeLaunchConfig, MatchesTheReferenceTable) {
    const Row rows[] = {
        {u"C:\\Games\\L\\app.exe", u"C:\\Users\\u\\AppData\\Local", "C:\\Games\\L\\WebView2Loader.dll",
         "C:\\Users\\u\\AppData\\Local\\QuorvelLauncher\\WebView2Data", "file:///C:/Games/L/index.html"},
        {u"C:\\app.exe", std::nullopt, "C:\\WebView2Loader.dll",
         "C:\\Temp\\QuorvelLauncher\\WebView2Data", "file:///C:/index.html"},
        {u"C:\\My Games\\#1 100%\\app.exe", u"D:\\Data\\", "C:\\My Games\\#1 100%\\WebView2Loader.dll",
         "D:\\Data\\QuorvelLauncher\\WebView2Data", "file:///C:/My Games/%231 100%25/index.html"},
        {u"\\\\server\\share\\L\\app.exe", u"", "\\\\server\\share\\L\\WebView2Loader.dll",
         "QuorvelLauncher\\WebView2Data", "file://server/share/L/index.html"},
        {u"\\\\server\\share\\app.exe", u"D:", "\\\\server\\share\\WebView2Loader.dll",
         "D:QuorvelLauncher\\WebView2Data", "file://server/share/index.html"},
        {u"\\\\?\\C:\\L\\app.exe", u"C:\\Users\\" + LONE_SURROGATE, "\\\\?\\C:\\L\\WebView2Loader.dll",
         "C:\\Temp\\QuorvelLauncher\\WebView2Data", "file:///C:/L/index.html"},
        {std::nullopt, u"D:/data//", ".\\WebView2Loader.dll", "D:/data//QuorvelLauncher\\WebView2Data",
         "file:///./index.html"},
    };
    for (const Row& row : rows) {
        const std::optional<Path> exe =
            row.exe_path ? std::optional<Path>(Path{*row.exe_path}) : std::nullopt;
        const LaunchConfig config = compute_launch_config(exe, row.local_app_data);
        SCOPED_TRACE(row.loader_path);
        EXPECT_EQ(path_text(config.loader_path), row.loader_path);
        EXPECT_EQ(path_text(config.user_data_dir), row.user_data_dir);
        EXPECT_EQ(config.start_url, row.start_url);
    }
}

TEST(ComputeLaunchConfig, PageAndLoaderLieInTheExecutableFolder) {
    const LaunchConfig config = compute_launch_config(Path{u"C:\\Games\\L\\app.exe"}, u"X:");
    EXPECT_EQ(config.exe_dir.units, u"C:\\Games\\L");
    EXPECT_EQ(config.page_path.units, u"C:\\Games\\L\\index.html");
}

TEST(ComputeLaunchConfig, AnExecutableWithoutParentUsesTheCurrentFolder) {
    for (const std::u16string exe : {u"", u"C:\\", u"\\\\server\\share"}) {
        const LaunchConfig config = compute_launch_config(Path{exe}, u"X:");
        EXPECT_EQ(config.exe_dir.units, u".");
        EXPECT_EQ(path_text(config.loader_path), ".\\WebView2Loader.dll");
    }
}

TEST(ComputeLaunchConfig, LocalAppDataIsUsedExactlyAsSet) {
    const LaunchConfig config = compute_launch_config(Path{u"C:\\a.exe"}, u"  C:\\Local Data  ");
    EXPECT_EQ(path_text(config.user_data_dir), "  C:\\Local Data  \\QuorvelLauncher\\WebView2Data");
}

TEST(ComputeLaunchConfig, AnUnpairedSurrogateInTheFolderBecomesAReplacementEverywhere) {
    const LaunchConfig config =
        compute_launch_config(Path{u"C:\\G" + LONE_SURROGATE + u"\\app.exe"}, u"D:\\" + LONE_SURROGATE);
    EXPECT_EQ(path_text(config.loader_path), "C:\\G\xEF\xBF\xBD\\WebView2Loader.dll");
    EXPECT_EQ(config.start_url, "file:///C:/G\xEF\xBF\xBD/index.html");
    EXPECT_EQ(path_text(config.user_data_dir), "C:\\Temp\\QuorvelLauncher\\WebView2Data");
}

TEST(MakePageUrl, GivesAWellFormedFileAddress) {
    struct Case {
        std::u16string page;
        std::string url;
    };
    const Case cases[] = {
        {u"C:\\Games\\L\\index.html", "file:///C:/Games/L/index.html"},
        {u"C:/Games//L/index.html", "file:///C:/Games//L/index.html"},  // doubled slash stays
        {u"c:\\GAMES\\index.html", "file:///c:/GAMES/index.html"},      // letter case stays
        {u"C:\\a?b\\%41\\#\\index.html", "file:///C:/a%3Fb/%2541/%23/index.html"},
        {u"C:\\\u00DCber Spiele\\index.html", "file:///C:/\xC3\x9C" "ber Spiele/index.html"},
        {u"\\\\server\\share\\L\\index.html", "file://server/share/L/index.html"},
        {u"//server/share/index.html", "file://server/share/index.html"},
        {u"\\\\?\\C:\\L\\index.html", "file:///C:/L/index.html"},
        {u"\\\\?\\UNC\\server\\share\\L\\index.html", "file://server/share/L/index.html"},
        {u"\\\\\\x\\index.html", "file:///x/index.html"},  // no server: not a UNC path
        {u".\\index.html", "file:///./index.html"},
        {u"index.html", "file:///index.html"},
        {u"", "file:///"},
    };
    for (const Case& c : cases) EXPECT_EQ(make_page_url(Path{c.page}), c.url) << c.url;
}

}  // namespace
