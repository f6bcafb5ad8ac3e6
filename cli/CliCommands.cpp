#include "CliCommands.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "CsvTable.h"
#include "DurableFile.h"
#include "HexFunctions.h"
#include "HexOffset.h"
#include "JsonTable.h"
#include "TableFile.h"
#include "Windows1252.h"
#include "rom/RomOpener.h"
#include "species/FieldLimits.h"
#include "text/ChoiceNames.h"
#include "text/MainSettings.h"
#include "text/SpeciesTableExport.h"
#include "text/SpeciesTableImport.h"
#include "write/RomBackups.h"
#include "write/RomJournal.h"
#include "write/RomWriter.h"

namespace {

const char* const kOverview =
    "vornhal-cli: the species table of a GBA ROM as a text file, to review in version control and apply "
    "back.\n"
    "\n"
    "Usage:\n"
    "  vornhal-cli info ROM [--json] [--search]\n"
    "  vornhal-cli export ROM [-o FILE] [--format json|csv] [--search]\n"
    "  vornhal-cli import ROM FILE [--dry-run] [--format json|csv] [--search]\n"
    "  vornhal-cli COMMAND --help\n"
    "\n"
    "Exit codes: 0 done, 1 refused (the reason on standard error, nothing written), 2 wrong usage.\n";

const char* const kInfoHelp =
    "Usage: vornhal-cli info ROM [--json] [--search]\n"
    "\n"
    "Shows the ROM's game code, release, file size, the section of Data.ini that describes it, whether its\n"
    "tables pass the structure check (so that Vornhal can edit it), where the names of types, items,\n"
    "abilities, egg groups and attacks come from, and every table: its offset and how it was found (the\n"
    "game's own pointer to it, Data.ini, or the ROM's settings file). Exit code 1 when the ROM cannot be\n"
    "edited.\n"
    "\n"
    "  --json              the same as one JSON object\n"
    "  --search            a release of a known game that Data.ini has no section for: search the ROM for\n"
    "                      its tables (as with export and import)\n";

const char* const kExportHelp =
    "Usage: vornhal-cli export ROM [-o FILE] [--format json|csv] [--search]\n"
    "\n"
    "Writes all 412 species: index, name, the record fields, EV yields, graphics pointers, icon palette,\n"
    "attack table offset and rows, and where the game has them evolutions, TM/HM and tutor compatibility.\n"
    "List values are names where the name is unique in its list, else numbers.\n"
    "\n"
    "  -o, --output FILE   write to FILE (replaced whole, or not at all) instead of standard output\n"
    "  --format json|csv   JSON (the default; one field per line, stable order) or CSV (RFC 4180, one row\n"
    "                      per species, lists as level:attack pairs separated by \";\"). Without --format,\n"
    "                      an output file ending in .csv gets CSV.\n"
    "  --search            a release Data.ini does not know: search the ROM for its tables\n";

const char* const kImportHelp =
    "Usage: vornhal-cli import ROM FILE [--dry-run] [--format json|csv] [--search]\n"
    "\n"
    "Reads a species table made by export (and edited), checks every value against the ROM (the limits of "
    "the\n"
    "editor's window, names in their lists, names the game can store, offsets inside the file, each species\n"
    "once) and refuses the whole file, naming species, field and value, when one is wrong. Then it prints\n"
    "every change as SPECIES  field old -> new and writes only the bytes that change, in one step with a\n"
    "journal and (when Data.ini's BackupBeforeSave is not 0) a backup beside the ROM. Species missing from\n"
    "the file, and fields missing from a species, stay as they are.\n"
    "\n"
    "  --dry-run           print the changes, write nothing\n"
    "  --format json|csv   the file's format; without it, a file starting with \"{\" is JSON, else CSV\n"
    "  --search            a release Data.ini does not know: search the ROM for its tables\n";

struct Arguments {
    std::vector<std::string> positional;
    std::optional<std::string> output;
    std::optional<std::string> format;
    bool dryRun = false;
    bool json = false;
    bool search = false;
    bool help = false;
    std::string problem;  // wrong usage
};

Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& options) {
    Arguments parsed;
    const auto allowed = [&options](const std::string& option) {
        return std::find(options.begin(), options.end(), option) != options.end();
    };
    bool optionsEnded = false;
    for (size_t k = 1; k < args.size(); ++k) {
        std::string arg = args[k];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> value;
        if (const size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
        }
        if (arg == "-h" || arg == "--help") {
            parsed.help = true;
            continue;
        }
        if (arg == "-o") arg = "--output";
        if (!allowed(arg)) {
            parsed.problem = "unknown option " + args[k];
            return parsed;
        }
        if (arg == "--dry-run" || arg == "--json" || arg == "--search") {
            (arg == "--json" ? parsed.json : arg == "--search" ? parsed.search : parsed.dryRun) = true;
            continue;
        }
        if (!value) {
            if (k + 1 >= args.size()) {
                parsed.problem = arg + " needs a value";
                return parsed;
            }
            value = args[++k];
        }
        (arg == "--output" ? parsed.output : parsed.format) = *value;
    }
    if (parsed.format && !FormatNamed(*parsed.format)) parsed.problem = "--format takes json or csv";
    return parsed;
}

std::string Sentence(const std::string& text) {
    return text.empty() || text.back() == '.' ? text : text + ".";
}

int Usage(std::ostream& err, const std::string& command, const std::string& problem) {
    err << "vornhal-cli " << command << ": " << problem << ". See vornhal-cli " << command << " --help.\n";
    return kExitUsage;
}

int Refuse(std::ostream& err, const std::string& reason) {
    err << reason;
    if (!reason.empty() && reason.back() != '.') err << ".";
    err << "\n";
    return kExitRefused;
}

std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    return shown;
}

std::string IniPath(const CliEnvironment& environment) {
    return environment.dataFolder + "/Data.ini";
}

// A setting of [Main] as the window reads it: only "0" turns it off.
bool SettingOn(const CliEnvironment& environment, const char* key) {
    const std::string value = MainSettings(IniPath(environment), environment.settingsCopy).Read(key);
    return !FieldLimits::IsNumberText(value) || FieldLimits::NumberValue(value) != 0;
}

ChoiceNames Names(const EditorSession& session, const CliEnvironment& environment) {
    return LoadChoiceNames(session, environment.dataFolder, SettingOn(environment, "NamesFromRom"));
}

std::string JournalProblem(const std::string& rom) {
    if (RomJournal::Inspect(rom).state == RomJournal::State::None) return {};
    return "The journal \"" + RomJournal::PathFor(rom) +
           "\" of an interrupted write lies beside the ROM. Open the ROM in Vornhal to roll that write back "
           "or "
           "keep the file as it is, then try again. Nothing was written.";
}

struct RomInfo {
    std::string rom;
    int64_t size = 0;
    std::string code;
    int release = 0;
    std::string refusal;  // why it cannot be edited; empty when it can
    std::string section, title, names, journal;
    std::vector<LocatedTable> tables;
};

std::string InfoText(const RomInfo& info) {
    std::ostringstream out;
    out << "ROM           " << info.rom << "\n"
        << "Size          " << info.size << " bytes\n"
        << "Game code     " << info.code << "\n"
        << "Release       " << info.release << "\n";
    if (!info.refusal.empty()) {
        out << "Editable      no: " << info.refusal << "\n";
        return out.str();
    }
    out << "Section       [" << info.section << "] " << info.title << "\n"
        << "Structure     passes: the species tables look like what they are\n"
        << "Names         " << info.names << "\n";
    if (!info.journal.empty()) out << "Journal       " << info.journal << "\n";
    out << "Tables\n";
    for (const LocatedTable& table : info.tables) {
        std::string name = "  " + table.name;
        name.resize(std::max<size_t>(name.size() + 1, 26), ' ');
        std::string offset = table.offset ? HexOffset(*table.offset) : "-";
        offset.resize(std::max<size_t>(offset.size() + 1, 11), ' ');
        out << name << offset << table.HowShown() << "\n";
    }
    return out.str();
}

std::string InfoJson(const RomInfo& info) {
    nlohmann::ordered_json json = {{"rom", Windows1252::ToUtf8(info.rom)},
                                   {"size", info.size},
                                   {"game_code", info.code},
                                   {"release", info.release},
                                   {"editable", info.refusal.empty()}};
    if (!info.refusal.empty()) {
        json["refusal"] = Windows1252::ToUtf8(info.refusal);
    } else {
        json["section"] = info.section;
        json["title"] = Windows1252::ToUtf8(info.title);
        json["names"] = Windows1252::ToUtf8(info.names);
        if (!info.journal.empty()) json["journal"] = Windows1252::ToUtf8(info.journal);
        json["tables"] = nlohmann::ordered_json::array();
        for (const LocatedTable& table : info.tables) {
            nlohmann::ordered_json entry = {{"key", table.key}, {"name", Windows1252::ToUtf8(table.name)}};
            entry["offset"] = table.offset ? nlohmann::ordered_json(*table.offset) : nlohmann::ordered_json();
            entry["found_by"] = table.HowShown();
            entry["moved"] = table.Moved();
            json["tables"].push_back(std::move(entry));
        }
    }
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

// A program run from a script cannot be asked, so the search that the window offers takes --search.
OpenRomResult OpenForCommand(const std::string& rom, const Arguments& arguments,
                             const CliEnvironment& environment) {
    OpenRomResult opened = OpenRomFile(rom, IniPath(environment),
                                       arguments.search ? UnknownRelease::Search : UnknownRelease::Offer);
    if (opened.searchOffered) opened.error += " Give --search to search it.";
    return opened;
}

int Info(const Arguments& arguments, std::ostream& out, std::ostream& err,
         const CliEnvironment& environment) {
    const std::string& rom = arguments.positional[0];
    const OpenRomResult opened = OpenForCommand(rom, arguments, environment);
    const std::optional<int64_t> size = HexFunctions::RomFileSize(rom);
    const std::optional<std::string> code = HexFunctions::ReadGameCode(rom);
    if (!size || !code) return Refuse(err, opened.error);

    const int release = std::max(
        HexFunctions::ByteAt(HexFunctions::ReadHexBytes(rom, HexFunctions::kVersionOffset, 1), 0), 0);
    RomInfo info{rom, *size, Printable(*code), release, opened.error, {}, {}, {}, {}, {}};
    if (opened.session) {
        const EditorSession& session = *opened.session;
        info.section = session.Section;
        info.title = session.Title;
        info.names = Names(session, environment).source;
        info.journal = JournalProblem(rom);
        info.tables = session.Located.tables;
    }
    out << (arguments.json ? InfoJson(info) : InfoText(info));
    return opened.session ? kExitDone : kExitRefused;
}

std::optional<EditorSession> Open(const std::string& rom, const Arguments& arguments,
                                  const CliEnvironment& environment, std::ostream& err) {
    OpenRomResult opened = OpenForCommand(rom, arguments, environment);
    if (!opened.session) err << opened.error << "\n";
    return std::move(opened.session);
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int Export(const Arguments& arguments, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    const std::optional<EditorSession> session = Open(arguments.positional[0], arguments, environment, err);
    if (!session) return kExitRefused;
    TableFormat format = TableFormat::Json;
    if (arguments.format)
        format = *FormatNamed(*arguments.format);
    else if (arguments.output && EndsWith(*arguments.output, ".csv"))
        format = TableFormat::Csv;

    const ChoiceNames names = Names(*session, environment);
    std::string text;
    if (format == TableFormat::Json) {
        JsonTableWriter writer(Windows1252::ToUtf8(session->GameCode), names);
        ExportSpeciesTable(*session, writer);
        text = writer.Finish();
    } else {
        text = FormatCsvTable(ExportedKeys(*session), ExportSpeciesTable(*session, names));
    }
    if (!arguments.output) {
        out << text;
        return out.good() ? kExitDone : Refuse(err, "The export could not be written to standard output.");
    }
    const std::string problem =
        DurableFile::WriteWhole(*arguments.output, std::vector<uint8_t>(text.begin(), text.end()));
    if (!problem.empty())
        return Refuse(err, "The export could not be written to \"" + *arguments.output + "\": " + problem);
    err << "Exported " << Species::kCount << " species to " << *arguments.output << ".\n";
    return kExitDone;
}

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0) return std::nullopt;
    // Only the size matters for a file too large to be a table; ParseTable refuses it.
    if (static_cast<uint64_t>(size) > kLargestTableFile) return std::string(kLargestTableFile + 1, ' ');
    file.seekg(0);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!file.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

// Writes as the real writer does, and tells how far it got once the write has taken more than a second.
ByteWriter WithProgress(std::ostream& err, size_t total) {
    using Clock = std::chrono::steady_clock;
    struct Progress {
        Clock::time_point start = Clock::now();
        Clock::time_point shown{};
        size_t done = 0;
    };
    auto progress = std::make_shared<Progress>();
    return [&err, total, progress](const std::string& path, int64_t offset, uint8_t value) {
        const bool written = WriteRomByte(path, offset, value);
        ++progress->done;
        if (progress->done % 64 != 0 && progress->done != total) return written;
        const Clock::time_point now = Clock::now();
        if (now - progress->start < std::chrono::seconds(1) ||
            now - progress->shown < std::chrono::seconds(1))
            return written;
        progress->shown = now;
        err << "Writing: " << progress->done << " of " << total << " bytes\n" << std::flush;
        return written;
    };
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Import(const Arguments& arguments, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    const std::string& rom = arguments.positional[0];
    const std::string& file = arguments.positional[1];
    const std::optional<EditorSession> session = Open(rom, arguments, environment, err);
    if (!session) return kExitRefused;
    const std::optional<std::string> bytes = ReadWhole(file);
    if (!bytes) return Refuse(err, "The file \"" + file + "\" cannot be read. Nothing was written.");
    const TableParse parse =
        ParseTable(*bytes, arguments.format ? FormatNamed(*arguments.format) : std::nullopt);
    if (!parse.error.empty()) return Refuse(err, Sentence(parse.error) + " Nothing was written.");
    const std::string romCode = Windows1252::ToUtf8(session->GameCode);
    if (!parse.table.game.empty() && parse.table.game != romCode)
        err << "Note: the file was exported from a ROM with the game code " << parse.table.game
            << "; this one has " << romCode << ".\n";

    const ChoiceNames names = Names(*session, environment);
    const ImportPlan plan = PlanSpeciesTableImport(*session, names, parse.table, "Import " + BaseName(file));
    if (!plan.error.empty()) return Refuse(err, plan.error + " Nothing was written.");
    if (plan.changes.empty()) {
        out << "No changes.\n";
        return kExitDone;
    }
    for (const FieldChange& change : plan.changes) {
        out << change.species << "  " << change.field << " ";
        if (!change.before.empty()) out << change.before << " -> ";
        out << change.after << "\n";
    }
    const size_t count = plan.plan.bytes.size();
    if (arguments.dryRun) {
        out << "Dry run: " << count << " bytes would be written. Nothing was written.\n";
        return kExitDone;
    }
    if (count == 0) {
        out << "These changes need no byte written.\n";
        return kExitDone;
    }
    if (const std::string journal = JournalProblem(rom); !journal.empty()) return Refuse(err, journal);

    RomWriter writer(*session);
    const bool backups = SettingOn(environment, "BackupBeforeSave");
    writer.SetBackupsEnabled(backups);
    writer.SetByteWriter(WithProgress(err, count));
    const WriteOutcome outcome = writer.Apply(plan.plan);
    if (!outcome.complete) return Refuse(err, outcome.error);
    out << "Wrote " << outcome.bytesWritten << " bytes to " << rom << ".";
    if (backups) out << " The ROM as it was is in " << RomBackups::FolderFor(rom) << "/.";
    out << "\n";
    if (!outcome.warning.empty()) err << outcome.warning << "\n";
    return kExitDone;
}

struct Command {
    const char* name;
    const char* help;
    std::vector<std::string> options;
    size_t positionals;
    const char* positionalNames;
    int (*run)(const Arguments&, std::ostream&, std::ostream&, const CliEnvironment&);
};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", kInfoHelp, {"--json", "--search"}, 1, "ROM", Info},
        {"export", kExportHelp, {"--output", "--format", "--search"}, 1, "ROM", Export},
        {"import", kImportHelp, {"--dry-run", "--format", "--search"}, 2, "ROM and FILE", Import},
    };
    return commands;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    if (args.empty()) {
        err << kOverview;
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kOverview << "Data.ini and the list files come from " << environment.dataFolder << ".\n";
        return kExitDone;
    }
    for (const Command& command : Commands()) {
        if (args[0] != command.name) continue;
        const Arguments arguments = ParseArguments(args, command.options);
        if (arguments.help) {
            out << command.help;
            return kExitDone;
        }
        if (!arguments.problem.empty()) return Usage(err, command.name, arguments.problem);
        if (arguments.positional.size() != command.positionals)
            return Usage(err, command.name, std::string("it takes ") + command.positionalNames);
        return command.run(arguments, out, err, environment);
    }
    err << "vornhal-cli: there is no command \"" << args[0]
        << "\" (info, export, import). See vornhal-cli --help.\n";
    return kExitUsage;
}
