// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/notice_file.h"

#include "data/codepage.h"
#include "data/file_io.h"
#include "data/text.h"

#include <cerrno>
#include <string_view>

namespace arrowsel::engine {

namespace {

constexpr const char* kNoticeFile = "invsel.txt";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// UTF-8 takes at most four bytes a character.
constexpr std::size_t kMaxNoticeBytes = kByteOrderMark.size() + 4 * kMaxNoticeChars;

std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return lead < 0x80 ? 1 : 0; // 0: no lead byte
}

// A line cut at the read limit may end inside a character; that character is not used anyway.
void dropCutCharacter(std::string& line) {
    for (std::size_t back = 1; back <= 3 && back <= line.size(); ++back) {
        const auto c = static_cast<unsigned char>(line[line.size() - back]);
        if ((c & 0xC0) != 0x80) {
            if (sequenceLength(c) > back) {
                line.resize(line.size() - back);
            }
            return;
        }
    }
}

std::string firstCharacters(const std::string& utf8, std::size_t count) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (n == count) {
                return utf8.substr(0, i);
            }
            ++n;
        }
    }
    return utf8;
}

} // namespace

std::string readNotice(const std::filesystem::path& folder) {
    const std::filesystem::path shown = folder / kNoticeFile;
    const std::optional<std::filesystem::path> file = data::findFileNoCase(shown);
    if (!file) {
        throw ENoticeFileError("The message file could not be opened: file not found.\nFile: " + shown.string());
    }
    data::File in;
    if (const int err = in.open(*file, data::File::Access::ReadOnly); err != 0) {
        throw ENoticeFileError("The message file could not be opened: " + data::errorText(err) +
                               ".\nFile: " + file->string());
    }
    std::string line(kMaxNoticeBytes, '\0');
    try {
        line.resize(in.readAt(0, line.data(), line.size()));
    } catch (const std::exception&) {
        throw ENoticeFileError("The message file could not be read.\nFile: " + file->string());
    }
    if (const auto end = line.find('\n'); end != std::string::npos) {
        line.resize(end);
    } else if (line.size() == kMaxNoticeBytes) {
        dropCutCharacter(line);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.starts_with(kByteOrderMark)) {
        line.erase(0, kByteOrderMark.size());
    }
    if (!data::isValidUtf8(line)) {
        line = data::decodeText(data::CodePage::Windows1252, line);
    }
    return firstCharacters(line, kMaxNoticeChars);
}

} // namespace arrowsel::engine
