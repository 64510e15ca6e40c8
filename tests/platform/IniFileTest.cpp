#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

using platform::IniFile;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

TEST(IniFileTest, ReadsWithPrivateProfileRules) {
    testsupport::TempDir dir;
    auto path = dir / "a.ini";
    writeFileBytes(path, platform::toCp932("; comment\n[Local]\r\n HostName = srv1 \r\nUSER=\"tavrin\"\r\n"
                                           "noequals\r\nhostname=second\r\n[会社]\r\n名前=㈱テスト①～\r\n"
                                           "[local]\r\nHOSTNAME=third\r\n"));
    IniFile ini(path.string());
    EXPECT_EQ(ini.readString("LOCAL", "hostname"), "srv1"); // first section, first key wins
    EXPECT_EQ(ini.readString("local", "User"), "tavrin");  // quotes dropped
    EXPECT_EQ(ini.readString("Local", "missing", "def"), "def");
    EXPECT_EQ(ini.readString("会社", "名前"), "㈱テスト①～");
    EXPECT_EQ(ini.readSection("Local"), (std::vector<std::string>{"HostName", "USER"}));
    EXPECT_EQ(ini.readSectionValues("LOCAL"), (std::vector<std::string>{"HostName=srv1", "USER=tavrin"}));
    EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"Local", "会社"}));
    EXPECT_TRUE(ini.valueExists("LOCAL", "user"));
    EXPECT_FALSE(ini.sectionExists("other"));
    EXPECT_EQ(IniFile((dir / "none.ini").string()).readString("a", "b", "x"), "x");
}

TEST(IniFileTest, ReadsIntegers) {
    testsupport::TempDir dir;
    auto path = dir / "n.ini";
    writeFileBytes(path, "[S]\r\na=12\r\nb=-7\r\nc=x1\r\nd=\r\ne=0x10\r\nf=99999999999\r\n");
    IniFile ini(path.string());
    const std::pair<const char*, int> cases[] = {{"a", 12}, {"b", -7}, {"c", 5}, {"d", 5}, {"e", 16}, {"f", 5}, {"z", 5}};
    for (auto [key, want] : cases) EXPECT_EQ(ini.readInteger("S", key, 5), want) << key;
}

TEST(IniFileTest, WritesInPlaceWithCrLfInCp932) {
    testsupport::TempDir dir;
    auto path = dir / "w.ini";
    writeFileBytes(path, "[A]\nx=1\n\n[B]\ny=2\n");
    IniFile ini(path.string());
    ini.writeString("a", "X", "10");
    ini.writeString("A", "z", "３");
    ini.writeString("C", "k", "v");
    ini.deleteKey("b", "Y");
    EXPECT_EQ(readFileBytes(path), platform::toCp932("[A]\r\nX=10\r\nz=３\r\n\r\n[B]\r\n[C]\r\nk=v\r\n"));
    ini.eraseSection("B");
    EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"A", "C"}));
}

TEST(IniFileTest, FailuresLeaveTheFileAlone) {
    testsupport::TempDir dir;
    auto path = dir / "f.ini";
    writeFileBytes(path, "[A]\r\nx=1\r\n");
    IniFile ini(path.string());
    EXPECT_THROW(ini.writeString("A", "x", "\xF0\x9F\x98\x80"), platform::EncodingError); // no CP932 form
    EXPECT_EQ(readFileBytes(path), "[A]\r\nx=1\r\n");
    EXPECT_THROW(IniFile((dir / "no" / "such.ini").string()).writeString("A", "x", "1"), platform::IniFileError);
}

namespace {

// Runs body in a child process and returns its exit code (-1 when it did
// not exit normally). The child never returns into the test framework.
int inChild(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        int code = 3;
        try {
            code = body();
        } catch (...) {
        }
        _exit(code);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::filesystem::perms permsOf(const std::filesystem::path& p) {
    return std::filesystem::status(p).permissions() & std::filesystem::perms::mask;
}

} // namespace

TEST(IniFileTest, StrictIntegers) {
    testsupport::TempDir dir;
    auto path = dir / "n.ini";
    const std::pair<const char*, int> cases[] = {
        {"--5", 5}, {"- 7", 5}, {"--9999999999", 5}, {"+-1", 5}, {"1 2", 5}, {"4294967301", 5},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", 5}, {"+12", 12},
        {"0x", 5}, {"0x1G", 5}, {"0x+5", 5}, {"0x-5", 5}, {"0x 5", 5}, {"- 0x5", 5}, {"0x100000010", 5},
        {"-0x10", -16}, {"0Xff", 255}, {"0x7FFFFFFF", INT_MAX}, {"0x80000000", 5}, {"-0x80000000", INT_MIN},
    };
    std::string text = "[S]\r\n";
    for (size_t i = 0; i < std::size(cases); ++i) text += "k" + std::to_string(i) + "=" + cases[i].first + "\r\n";
    writeFileBytes(path, text);
    IniFile ini(path.string());
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ini.readInteger("S", "k" + std::to_string(i), 5), cases[i].second) << cases[i].first;
}

TEST(IniFileTest, WriteToAFileThatCannotBeReadFailsAndKeepsIt) {
    testsupport::TempDir dir;
    // Root reads everything, so the writer runs as an ordinary user; the
    // folder is open to it so nothing but the unreadable file stands in its way.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    auto path = dir / "locked.ini";
    const std::string original = "[LOCAL]\r\nPassword=secret\r\n";
    writeFileBytes(path, original);
    std::filesystem::permissions(path, std::filesystem::perms::none);
    const int code = inChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 4;
        IniFile ini(path.string());
        int failures = 0;
        const std::function<void()> writes[] = {
            [&] { ini.writeString("LOCAL", "HostName", "srv"); },
            [&] { ini.deleteKey("LOCAL", "Password"); },
            [&] { ini.eraseSection("LOCAL"); },
        };
        for (const auto& write : writes) {
            try {
                write();
            } catch (const platform::IniFileError&) {
                ++failures;
            }
        }
        if (failures != 3) return 1;
        if (ini.readString("LOCAL", "Password", "def") != "def") return 2; // reads give the default
        IniFile fresh((dir / "fresh.ini").string()); // a missing file is still created
        fresh.writeString("A", "x", "1");
        return fresh.readString("A", "x") == "1" ? 0 : 5;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFileBytes(path), original);
    EXPECT_EQ(permsOf(path), std::filesystem::perms::none);
}

TEST(IniFileTest, WritersInTwoProcessesKeepEachOthersKeys) {
    testsupport::TempDir dir;
    auto path = (dir / "shared.ini").string();
    auto writer = [&](int who) {
        return [path, who] {
            IniFile ini(path);
            for (int i = 0; i < 200; ++i) ini.writeInteger("S", "p" + std::to_string(who) + "k" + std::to_string(i), i);
            return 0;
        };
    };
    int codes[2] = {-1, -1};
    std::thread a([&] { codes[0] = inChild(writer(0)); });
    std::thread b([&] { codes[1] = inChild(writer(1)); });
    a.join();
    b.join();
    EXPECT_EQ(codes[0], 0);
    EXPECT_EQ(codes[1], 0);
    IniFile ini(path);
    EXPECT_EQ(ini.readSection("S").size(), 400u);
    for (int who = 0; who < 2; ++who)
        for (int i = 0; i < 200; i += 37)
            EXPECT_EQ(ini.readInteger("S", "p" + std::to_string(who) + "k" + std::to_string(i), -1), i);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no temporary left
}

TEST(IniFileTest, WritersInTwoThreadsKeepEachOthersKeys) {
    testsupport::TempDir dir;
    auto path = (dir / "shared.ini").string();
    std::atomic<int> errors{0};
    auto writer = [&](const std::string& prefix) {
        IniFile ini(path);
        for (int i = 0; i < 200; ++i) {
            try {
                ini.writeInteger("S", prefix + std::to_string(i), i);
            } catch (const std::exception&) {
                ++errors;
            }
        }
    };
    std::thread a(writer, "a"), b(writer, "b");
    a.join();
    b.join();
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(IniFile(path).readSection("S").size(), 400u);
}

TEST(IniFileTest, WritesKeepPermissionsAndFollowSymlinks) {
    testsupport::TempDir dir;
    using std::filesystem::perms;
    for (perms mode : {perms::owner_read | perms::owner_write, perms::owner_read | perms::owner_write | perms::group_read}) {
        auto path = dir / "private.ini";
        writeFileBytes(path, "[LOCAL]\r\nPassword=x\r\n");
        std::filesystem::permissions(path, mode);
        IniFile ini(path.string());
        ini.writeString("LOCAL", "Password", "y");
        ini.deleteKey("LOCAL", "Password");
        EXPECT_EQ(permsOf(path), mode);
    }

    std::filesystem::create_directory(dir / "real");
    auto target = dir / "real" / "t.ini";
    writeFileBytes(target, "[A]\r\nx=1\r\n");
    std::filesystem::create_symlink(target, dir / "link.ini");
    IniFile viaLink((dir / "link.ini").string());
    viaLink.writeString("A", "y", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readFileBytes(target), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(viaLink.readString("A", "y"), "2");
}

TEST(IniFileTest, BytesThatAreNotCp932SpoilOnlyTheirOwnLine) {
    const char* bad[] = {"\x80", "\xA0", "\xFD", "\xFE", "\xFF", "\x81\xAD", "\x81", "漢\x80字"};
    for (const char* b : bad) {
        testsupport::TempDir dir;
        auto path = dir / "b.ini";
        const std::string head = platform::toCp932("[A]\r\nbefore=前\r\n");
        const std::string tail = platform::toCp932("after=後\r\n; c") + b + "\r\n[S" + b + " ]\r\nhidden=1\r\n[B]\r\ny=2\r\n";
        const std::string badLine = std::string("k=") + b + "\r\n";
        writeFileBytes(path, head + badLine + tail);
        IniFile ini(path.string());
        SCOPED_TRACE(testing::PrintToString(std::string(b)));
        EXPECT_EQ(ini.readString("A", "before"), "前");
        EXPECT_EQ(ini.readString("A", "after"), "後");
        EXPECT_EQ(ini.readString("A", "k", "def"), "def");
        EXPECT_EQ(ini.readInteger("B", "y", 0), 2);
        EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"A", "B"}));
        EXPECT_EQ(ini.readSection("A"), (std::vector<std::string>{"before", "k", "after"}));

        ini.writeString("B", "y", "3");
        EXPECT_EQ(readFileBytes(path), head + badLine + tail.substr(0, tail.size() - 5) + "y=3\r\n");
        ini.writeString("A", "k", "ok");
        EXPECT_EQ(ini.readString("A", "k"), "ok");
        EXPECT_EQ(readFileBytes(path), head + "k=ok\r\n" + tail.substr(0, tail.size() - 5) + "y=3\r\n");
    }
}
