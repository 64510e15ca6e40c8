#pragma once
// The backup trailer: a short CP932 text block appended after the last
// byte of a data backup, naming what the backup holds. Before a restore it
// is read back and cut off a working copy of the backup file.
#include <cstdint>
#include <string>

inline constexpr const char* kBackupTrailerMarker = "## VeltanoZone";

// The values the trailer carries (UTF-8 inside).
struct TBackupTrailer {
    std::string Shougou, Kishu, Kimatu;
    int Siwake = 0, TotalSiwake = 0;
    std::string DataVarsion;
    int Gassan = 0, UseMyNumber = 0;
};

// The trailer's bytes: nine CP932 lines, each ended by CR LF.
std::string BackupTrailerText(const TBackupTrailer& t);
// Parses trailer bytes (CP932) into t; t is cleared first.
void ParseBackupTrailer(const std::string& bytes, TBackupTrailer& t);

// Appends the bytes to the existing file. Raises std::runtime_error.
void AppendTextToFile(const std::string& FileName, const std::string& Text);
// Position of the last occurrence of Marker after the file's first byte, or
// -1; Text receives up to 512 bytes from there. A backup whose data happen
// to contain the marker is not cut inside its data: the trailer is always
// the file's last block.
std::int64_t FindTextInFile(const std::string& FileName, const std::string& Marker, std::string& Text);
// FindTextInFile; with Strip the file is cut at the marker.
void ReadTrailerText(const std::string& FileName, const std::string& Marker, std::string& Text, bool Strip);
bool MatchBytes(const void* P, const void* Q, int Len);
