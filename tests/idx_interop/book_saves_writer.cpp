// SPDX-License-Identifier: GPL-3.0-or-later
// Makes a customer book in OUTDIR/saves by 1,000 saves through the file book, as the windows make
// them: new customers appended, now and then a customer found by name and saved again under a
// changed name and comments. Every key goes into Saved.idx by the save alone. Names repeat
// (ties, also after a rename) and use Windows-1252 letters beyond ASCII; comments run from empty
// to several memo blocks with line breaks.
// Writes OUTDIR/expected.json: the records in the order added, each field's text as an outside
// reader should give it (character fields without trailing blanks, numbers as integers, dates
// YYYYMMDD or empty, memos whole). The record to change is told apart by its unique CCODE, so the
// expected list is the writer's own and not read back from the book.
// Usage: book_saves_writer OUTDIR

#include "records/customer_book.h"
#include "records/file_book.h"
#include "records/saved_layout.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace arrowsel;
using records::FieldValue;

namespace {

const char* const kNames[] = {
    "Müller", "MÜLLER", "Muller", "Øster", "Ærø Bogen", "Šimek",    "Œuvre", "Ÿves",   "€uro Archery", "Smith",
    "smith",  "O'Neil", "Zoë",    "José",  "Jose",      "Ångström", "Ñúñez", "Straße", "Strasse",      "Aaron",
    "aaron",  "Zzyzx",  "Þór",    "ðan",   "Élodie",    "élodie",   "Ça va", "d'Arc",  "Jean-Luc",
};
const char* const kWords[] = {"bow",      "draw",  "Pfeil", "señal", "naïve", "œil",    "€",    "›",    "«fine»",
                              "straight", "spine", "Größe", "±2",    "—",     "fletch", "nock", "“ok”", "x"};

std::string pick(std::mt19937& rng, const char* const* list, std::size_t n) {
    return list[rng() % n];
}

std::string randomName(std::mt19937& rng) {
    const std::size_t n = std::size(kNames);
    switch (rng() % 5) {
    case 0:
    case 1:
        return pick(rng, kNames, n); // many ties
    case 2:
        return pick(rng, kNames, n) + " " + pick(rng, kNames, n);
    default:
        return pick(rng, kNames, n) + " " + std::to_string(rng() % 300);
    }
}

// Empty, a line, or text over several 64-byte memo blocks with CR LF breaks.
std::string randomComments(std::mt19937& rng) {
    const auto kind = rng() % 5;
    if (kind == 0) {
        return {};
    }
    const std::size_t words = kind == 1 ? 1 + rng() % 6 : 20 + rng() % 300;
    std::string text;
    for (std::size_t i = 0; i < words; ++i) {
        if (i > 0) {
            text += rng() % 12 == 0 ? "\r\n" : " ";
        }
        text += pick(rng, kWords, std::size(kWords));
    }
    return text;
}

std::string randomDate(std::mt19937& rng) {
    if (rng() % 8 == 0) {
        return {};
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04u%02u%02u", 1990 + static_cast<unsigned>(rng() % 40),
                  1 + static_cast<unsigned>(rng() % 12), 1 + static_cast<unsigned>(rng() % 28));
    return buf;
}

using Model = std::map<std::string, std::string>; // field -> expected text

std::vector<FieldValue> valuesOf(const Model& m) {
    std::vector<FieldValue> out;
    for (const auto& [name, text] : m) {
        out.push_back({name, text});
    }
    return out;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: book_saves_writer OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::filesystem::path folder = out / "saves";
    std::filesystem::create_directories(folder);
    std::mt19937 rng(20260417);
    std::vector<Model> models; // in the order added
    try {
        records::FileBook::create(folder, records::savedSetupFields());
        records::FileBook book(folder);
        for (int save = 0; save < 1000; ++save) {
            if (!models.empty() && rng() % 6 == 0) {
                // Found as the lookup finds it, by the name typed, and saved again.
                const std::string name = models[rng() % models.size()].at("NAME");
                if (!book.seek(name)) {
                    std::fprintf(stderr, "seek missed a saved name: %s\n", name.c_str());
                    return 1;
                }
                const std::string code = book.fieldText("CCODE");
                Model* m = nullptr;
                for (Model& candidate : models) {
                    if (code.starts_with(candidate.at("CCODE") + " ")) {
                        m = &candidate;
                    }
                }
                if (m == nullptr) {
                    std::fprintf(stderr, "the found record has an unknown code: %s\n", code.c_str());
                    return 1;
                }
                if (rng() % 2 == 0) {
                    (*m)["NAME"] = randomName(rng);
                }
                (*m)["COMMENTS"] = randomComments(rng);
                (*m)["DATE"] = randomDate(rng);
                book.update(valuesOf(*m));
                continue;
            }
            Model m;
            m["NAME"] = randomName(rng);
            m["CCODE"] = "C" + std::to_string(models.size() + 1);
            m["CITY"] = pick(rng, kNames, std::size(kNames)) + "ville";
            m["COMMENTS"] = randomComments(rng);
            m["DATE"] = randomDate(rng);
            m["BOWWT"] = std::to_string(20 + rng() % 50);
            m["HORT"] = std::to_string(rng() % 3);
            m["BOTYP"] = std::to_string(rng() % 12);
            book.append(valuesOf(m));
            models.push_back(std::move(m));
        }
    } catch (const records::EBookError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    // Fields the saves left alone read empty.
    std::ofstream json(out / "expected.json");
    json << "[\n";
    for (std::size_t i = 0; i < models.size(); ++i) {
        json << "{";
        bool first = true;
        for (const auto& f : records::savedSetupFields()) {
            const auto it = models[i].find(f.name);
            json << (first ? "" : ", ") << jsonString(f.name) << ": "
                 << jsonString(it == models[i].end() ? std::string() : it->second);
            first = false;
        }
        json << (i + 1 < models.size() ? "},\n" : "}\n");
    }
    json << "]\n";
    std::printf("%zu records after 1000 saves\n", models.size());
    return json.good() ? 0 : 1;
}
