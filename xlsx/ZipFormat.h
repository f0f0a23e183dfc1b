#pragma once

#include <QtGlobal>

// The record layout of a (non-ZIP64) ZIP archive, shared by the reader and the writer.
namespace QXlsx::ZipFormat {

inline constexpr quint32 LocalHeaderSignature = 0x04034b50;
inline constexpr quint32 DirectoryEntrySignature = 0x02014b50;
inline constexpr quint32 EndOfDirectorySignature = 0x06054b50;
inline constexpr qsizetype LocalHeaderSize = 30;
inline constexpr qsizetype DirectoryEntrySize = 46;
inline constexpr qsizetype EndOfDirectorySize = 22;
inline constexpr quint16 EncryptedFlag = 0x0001;
inline constexpr quint16 Utf8NamesFlag = 0x0800;
inline constexpr quint16 StoredMethod = 0;
inline constexpr quint16 DeflatedMethod = 8;
// A 32-bit field with this value defers to a ZIP64 record.
inline constexpr quint32 Zip64Marker = 0xFFFFFFFF;

} // namespace QXlsx::ZipFormat
