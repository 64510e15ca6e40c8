#include "accdb/BackupTrailer.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/TextCodec.h"

namespace {

bool sameKey(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

int toInt(const std::string& s) {
    try {
        std::size_t used = 0;
        const int v = std::stoi(s, &used);
        return used == s.size() ? v : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

std::string BackupTrailerText(const TBackupTrailer& t) {
    std::string s;
    s += kBackupTrailerMarker;
    s += "\r\nSHOUGOU=" + t.Shougou;
    s += "\r\nKISHU=" + t.Kishu;
    s += "\r\nKIMATU=" + t.Kimatu;
    s += "\r\nSIWAKE=" + std::to_string(t.Siwake);
    s += "\r\nTOTALSIWAKE=" + std::to_string(t.TotalSiwake);
    s += "\r\nDATAVARSION=" + t.DataVarsion;
    s += "\r\nGASSAN=" + std::to_string(t.Gassan);
    s += "\r\nUSEMYNUMBER=" + std::to_string(t.UseMyNumber);
    s += "\r\n";
    return platform::toCp932(s);
}

void ParseBackupTrailer(const std::string& bytes, TBackupTrailer& t) {
    t = TBackupTrailer{};
    bool seen[8] = {};
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        std::string value;
        try {
            value = platform::fromCp932(line.substr(eq + 1));
        } catch (const std::exception&) {
            // A value cut at the 512-byte limit may end in half a character.
            value = platform::fromCp932(line.substr(eq + 1, line.size() - eq - 2));
        }
        static const char* keys[8] = {"SHOUGOU", "KISHU", "KIMATU", "SIWAKE",
                                      "TOTALSIWAKE", "DATAVARSION", "GASSAN", "USEMYNUMBER"};
        for (int i = 0; i < 8; ++i) {
            if (seen[i] || !sameKey(key, keys[i])) continue;
            seen[i] = true;
            switch (i) {
            case 0: t.Shougou = value; break;
            case 1: t.Kishu = value; break;
            case 2: t.Kimatu = value; break;
            case 3: t.Siwake = toInt(value); break;
            case 4: t.TotalSiwake = toInt(value); break;
            case 5: t.DataVarsion = value; break;
            case 6: t.Gassan = toInt(value); break;
            case 7: t.UseMyNumber = toInt(value); break;
            }
        }
    }
}

void AppendTextToFile(const std::string& FileName, const std::string& Text) {
    std::fstream f(FileName, std::ios::in | std::ios::out | std::ios::binary);
    if (!f) throw std::runtime_error("ファイルを開けません: " + FileName);
    f.seekp(0, std::ios::end);
    f.write(Text.data(), static_cast<std::streamsize>(Text.size()));
    f.flush();
    if (!f) throw std::runtime_error("ファイルに書き込めません: " + FileName);
}

bool MatchBytes(const void* P, const void* Q, int Len) { return std::memcmp(P, Q, static_cast<std::size_t>(Len)) == 0; }

std::int64_t FindTextInFile(const std::string& FileName, const std::string& Marker, std::string& Text) {
    Text.clear();
    std::ifstream in(FileName, std::ios::binary);
    if (!in || Marker.empty()) return -1;
    const std::size_t m = Marker.size();
    constexpr std::size_t kBlock = 64 * 1024;
    std::vector<char> buf;
    std::int64_t bufStart = 0; // file offset of buf[0]
    std::int64_t found = -1;
    std::vector<char> block(kBlock);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(kBlock));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        buf.insert(buf.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got));
        for (std::size_t i = 0; i + m <= buf.size(); ++i)
            if (buf[i] == Marker[0] && MatchBytes(&buf[i], Marker.data(), static_cast<int>(m))) {
                const std::int64_t at = bufStart + static_cast<std::int64_t>(i);
                if (at > 0) found = at;
            }
        // Keep the tail a marker may start in.
        const std::size_t keep = std::min(buf.size(), m - 1);
        bufStart += static_cast<std::int64_t>(buf.size() - keep);
        buf.erase(buf.begin(), buf.end() - static_cast<std::ptrdiff_t>(keep));
    }
    if (found > 0) {
        std::ifstream again(FileName, std::ios::binary);
        again.seekg(found);
        std::string t(512, '\0');
        again.read(t.data(), 512);
        t.resize(static_cast<std::size_t>(again.gcount()));
        Text = t;
    }
    return found;
}

void ReadTrailerText(const std::string& FileName, const std::string& Marker, std::string& Text, bool Strip) {
    Text.clear();
    const std::int64_t pos = FindTextInFile(FileName, Marker, Text);
    if (pos > 0 && Strip) std::filesystem::resize_file(FileName, static_cast<std::uintmax_t>(pos));
}
