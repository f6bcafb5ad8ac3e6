#include "CsvText.h"

namespace CsvText {

std::string Record(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t k = 0; k < cells.size(); ++k) {
        if (k > 0) line += ',';
        const std::string& cell = cells[k];
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            line += cell;
            continue;
        }
        line += '"';
        for (char c : cell) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    line += "\r\n";
    return line;
}

Parsed Parse(std::string_view text) {
    Parsed parsed;
    size_t line = 1;
    size_t pos = 0;
    const auto fail = [&](const std::string& what) {
        parsed.error = "line " + std::to_string(line) + ": " + what;
        return parsed;
    };
    while (pos < text.size()) {
        // An empty line is no record.
        if (text[pos] == '\n' || (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')) {
            pos += text[pos] == '\r' ? 2 : 1;
            ++line;
            continue;
        }
        std::vector<std::string> record;
        parsed.lines.push_back(line);
        bool recordEnded = false;
        while (!recordEnded) {
            std::string cell;
            if (pos < text.size() && text[pos] == '"') {
                const size_t opened = line;
                ++pos;
                for (;;) {
                    if (pos >= text.size()) {
                        line = opened;
                        return fail("a quoted cell is never closed");
                    }
                    const char c = text[pos++];
                    if (c == '"') {
                        if (pos < text.size() && text[pos] == '"') {
                            cell += '"';
                            ++pos;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') ++line;
                    cell += c;
                }
                if (pos < text.size() && text[pos] != ',' && text[pos] != '\n' && text[pos] != '\r')
                    return fail("text follows a closing quotation mark");
            } else {
                while (pos < text.size() && text[pos] != ',' && text[pos] != '\n' && text[pos] != '\r') {
                    if (text[pos] == '"') return fail("a quotation mark inside a cell that is not quoted");
                    cell += text[pos++];
                }
            }
            record.push_back(std::move(cell));
            if (pos >= text.size()) {
                recordEnded = true;
            } else if (text[pos] == ',') {
                ++pos;
            } else if (text[pos] == '\n') {
                ++pos, ++line, recordEnded = true;
            } else if (pos + 1 < text.size() && text[pos + 1] == '\n') {
                pos += 2, ++line, recordEnded = true;
            } else {
                return fail("a carriage return without a line feed");
            }
        }
        parsed.records.push_back(std::move(record));
    }
    return parsed;
}

}  // namespace CsvText
