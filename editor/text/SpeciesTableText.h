#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/ChoiceNames.h"
#include "text/SpeciesFields.h"

// The species table as text files hold it, whatever their format: per species its index and named values.
// Texts here are UTF-8, as the files are.

// One value as written: its text, and whether it is a number (JSON writes those without quotation marks).
struct TextPart {
    std::string text;
    bool number = false;
};

// A field's value: one part, or rows of parts for a list. A list may also come as one text in the list
// notation, "5:TACKLE;9:GROWL" (rows separated by ";", the parts of a row by ":"), as CSV cells hold it.
struct TextValue {
    bool isList = false;
    TextPart single;
    std::vector<std::vector<TextPart>> rows;
};

struct TextField {
    std::string key;
    TextValue value;
};

struct SpeciesText {
    std::string where;  // for messages: "line 7", "species entry 7"
    std::optional<TextPart> index;
    std::vector<TextField> fields;  // in file order; "index" is not among them
};

struct TableText {
    std::string game;  // the game code the file was exported from, when it says
    std::vector<SpeciesText> species;
};

// The text of one number or text of a value, as export writes it.
[[nodiscard]] TextPart PartText(const ValueSpec& rule, const FieldValue& value, const ChoiceNames& names);

// The text of a value as export writes it: numbers in decimal, offsets as the pointer boxes show them,
// choices by name where the name is unique in its list, else by number.
[[nodiscard]] TextValue ValueText(const SpeciesField& field, const FieldValue& value,
                                  const ChoiceNames& names);

// A list's rows in the list notation; a single value's text.
[[nodiscard]] std::string ListNotation(const TextValue& value);

struct ValueCheck {
    const EditorSession* session = nullptr;
    const ChoiceNames* names = nullptr;
    // The value the ROM holds now: a value equal to it (or a row it holds) is accepted as it is, so that
    // every export imports again even where the ROM holds what the window would not let a user type.
    const FieldValue* current = nullptr;
};

struct ParsedValue {
    std::optional<FieldValue> value;
    std::string problem;  // when no value: why, without the species or field (the caller adds those)
};

// Whether the text is the value check.current (the ROM's) written as export writes it: most of an exported
// file, recognised without reading and looking names up.
[[nodiscard]] bool GivesCurrentValue(const SpeciesField& field, const TextValue& text,
                                     const ValueCheck& check);

// Reads and checks a value from a file for the field.
[[nodiscard]] ParsedValue ParseValue(const SpeciesField& field, const TextValue& text,
                                     const ValueCheck& check);

// Reads and checks a species index: a whole number below 412.
[[nodiscard]] std::optional<int32_t> ParseIndex(const TextPart& part);
