#include "qor/frontend/messages.h"

#include <algorithm>
#include <span>

#include "qor/frontend/localization.h"
#include "qor/frontend/number_format.h"

namespace qor::frontend {

namespace {

using F = MessageForm;
using I = MessageIcon;

// Rows that both front ends raise.
constexpr ErrorRow kCommonRows[] = {
    {8, 99394, "Cant Read Menu Profile", F::Text, I::Stop},
    {10, 99308, "Can't create Item: ", F::TextArgument, I::Warning},
    {100, 991254, "Start Main Qor32 Application", F::Text, I::Stop},
};

// Component-not-found: a warning in the thermal front end, no icon in the EM front end.
constexpr ErrorRow kThermalComponentNotFound{23,         99472, "Component: ", F::TextArgumentText,
                                             I::Warning, 99962, " not found"};
constexpr ErrorRow kEmComponentNotFound{23,      99472, "Component: ", F::TextArgumentText,
                                        I::None, 99962, " not found"};

constexpr ErrorRow kThermalRows[] = {
    {3003, 3962, "Library already selected", F::Text, I::Warning},
    {4000, 3924, "Can't buildt thermo database", F::Text, I::Stop},
    {4001, 39123, "Fan speed should be a non-zero value", F::Text, I::Warning},
    {4002, 39124, "Thermal resistance of Heatsink should be a non-zero value", F::Text, I::Warning},
    {4003, 39125, "Thermal resistance of Interface material should be a non-zero value", F::Text,
     I::Warning},
};

// Engine errors (engine code + 10000): no icon. The rows that differ between the front ends
// follow separately.
constexpr ErrorRow kEngineRows[] = {
    {10000, 0, " ", F::Text, I::None},
    {10001, 3949, "Insufficient memory (GlobalAlloc)", F::Text, I::None},
    {10002, 3950, "Insufficient memory (GlobalLock)", F::Text, I::None},
    {10003, 39103, "Too big board", F::Text, I::None},
    {10004, 3926, "Cannot find Qor32's kernel", F::Text, I::None},
    {10005, 3918, "Board is not loaded", F::Text, I::None},
    {10006, 39108, "Too complex board shape (More than 100 bending points)", F::Text, I::None},
    {10007, 3951, "Insufficient memory (GlobalReAlloc - Windows function)", F::Text, I::None},
    {10008, 3957, "L_ReadComponent (Qor32's kernel)", F::Text, I::None},
    {10009, 3940, "D_ReadDevice (Qor32's kernel)", F::Text, I::None},
    {10010, 3958, "L_ReadSymbol (Qor32's kernel)", F::Text, I::None},
    {10011, 39104, "Too big index of component", F::Text, I::None},
    {10012, 39109, "Too many components", F::Text, I::None},
    {10013, 39107, "Too big string of part name", F::Text, I::None},
    {10014, 39110, "Too many part name strings", F::Text, I::None},
    {10016, 39112, "Too many packages", F::Text, I::None},
    {10020, 3947, "I_ReadItem (Qor32's kernel)", F::Text, I::None},
};

constexpr ErrorRow kThermalEngineRows[] = {
    {10015, 39105, "Too big index of Package", F::Text, I::None},
    {10017, 39111, "Too many Package's primitives\"", F::Text, I::None},
    {10018, 39106, "Too big string in Package's primitive", F::Text, I::None},
    {10019, 39113, "Too many text strings in Package's primitives", F::Text, I::None},
};

constexpr ErrorRow kEmEngineRows[] = {
    {10015, 39105, "Too big index of package", F::Text, I::None},
    {10017, 39111, "Too many package's primitives", F::Text, I::None},
    {10018, 39106, "Too big string in package's primitive", F::Text, I::None},
    {10019, 39113, "Too many text strings in package's primitives", F::Text, I::None},
};

// Design-editing codes that the thermal front end shares with the suite's other programs.
constexpr ErrorRow kDesignEditingRows[] = {
    {1, 99345, "Can't find Part: ", F::TextArgument, I::Warning},
    {2, 99364, "Can't read Part: ", F::TextArgument, I::Warning},
    {3, 99353, "Can't load Part: ", F::TextArgument, I::Warning},
    {4, 99472, "Component: ", F::TextArgumentText, I::Warning, 99196, " already exists"},
    {5, 99357, "Can't load Package: ", F::TextArgument, I::Warning},
    {6, 99350, "Can't find Package: ", F::TextArgument, I::Warning},
    {7, 99254, "Board outline definition incomplete", F::Text, I::Warning},
    {9, 99327, "Can't create Package: ", F::TextArgument, I::Warning},
    {11, 99296, "Can't create Board Outline: ", F::TextArgument, I::Warning},
    {12, 99286, "Can't assign Package: ", F::TextArgument, I::Warning},
    {13, 99285, "Can't assign Part: ", F::TextArgument, I::Warning},
    {14, 99891, "Missing group(s) in Part: ", F::TextArgument, I::Warning},
    {15, 99300, "Can't create Component: ", F::TextArgument, I::Warning},
    {16, 99889, "Missing gates(s) in Component: ", F::TextArgument, I::Warning},
    {17, 99303, "Can't create gate within Component: ", F::TextArgument, I::Warning},
    {18, 99366, "Can't read group in Part: ", F::TextArgument, I::Warning},
    {19, 99371, "Can't read pin in Part: ", F::TextArgument, I::Warning},
    {20, 99346, "Can't find entry in Package: ", F::TextArgument, I::Warning},
    {21, 99398, "Cant't read entry in Package: ", F::TextArgument, I::Warning},
    {22, 99395, "Cant't assign number to Prefix: ", F::TextArgument, I::Warning},
    {24, 99930, "Net/Bus: ", F::TextArgumentText, I::Warning, 99962, " not found"},
    {25, 99368, "Can't read Net/Bus: ", F::TextArgument, I::Warning},
    {26, 99369, "Can't read Net/Node: ", F::TextArgument, I::Warning},
    {27, 99931, "Net: ", F::TextArgumentText, I::Warning, 99196, " already exists"},
    {28, 99348, "Can't find number for Net Name prefix: ", F::TextArgument, I::Warning},
    {29, 991156, "Schematic entry for this Pin is unassigned in Part:", F::TextArgument,
     I::Warning},
    {30, 99929, "Net Text Edit - syntax error", F::Text, I::Warning},
    {31, 99928, "Net Text Edit - Node included in Net: ", F::TextArgument, I::Warning},
    {32, 99927, "Net Text Edit - Component not found: ", F::TextArgument, I::Warning},
    {33, 99937, "Next Text Edit - Pin Not Found: ", F::TextArgument, I::None},
    {34, 99313, "Can't create node: ", F::TextArgument, I::Warning},
    {35, 99396, "Cant't create Net: ", F::TextArgument, I::Warning},
    {36, 991239, "Some nodes in Net: ", F::TextArgumentText, I::Warning, 99213,
     " are schematic only - can't split"},
    {40, 99315, "Can't create Pad Stack for Vias", F::Text, I::Warning},
    {41, 99333, "Can't create Via Pad Stack Item", F::Text, I::Warning},
    {50, 99329, "Can't create Trace", F::Text, I::Warning},
    {51, 99331, "Can't Create Trace Segment", F::Text, I::Warning},
    {52, 99332, "Can't Create Via", F::Text, I::Warning},
    {53, 99787, " is Not Trace Layer!", F::ArgumentText, I::Warning},
    {54, 99288, "Can't connect ", F::TextArgument, I::Warning},
    {55, 99287, "Can't change side of ", F::TextArgument, I::Warning},
    {56, 99294, "Can't create B-point", F::TextArgument, I::Warning},
    {57, 99358, "Can't merge Pwr/Gnd with bus member", F::Text, I::Warning},
    {58, 99359, "Can't merge two bus members", F::Text, I::Warning},
    {59, 99272, "Bus: ", F::TextArgumentText, I::Warning, 99962, "not found"},
    {70, 99262, "Buried Vias not found", F::Text, I::Warning},
    {75, 991271, "Swap error: ", F::TextArgument, I::Warning},
    {78, 99383, "Can't split Bus Member", F::Text, I::Warning},
    {80, 99381, "Can't save Temporary Backup: ", F::TextArgument, I::Warning},
    {81, 99397, "Cant't load Temporary Backup: ", F::TextArgument, I::Warning},
    {86, 99596, "Edit Comp. Relocate Error", F::TextArgument, I::Warning},
    {87, 99595, "Edit Comp. List Create Error", F::TextArgument, I::Warning},
    {90, 99306, "Can't create input for Clearance Check", F::Text, I::Warning},
    {95, 99939, "No components with name prefix: ", F::TextArgument, I::Warning},
    {101, 991048, "Pins not in the same gate", F::TextArgument, I::Warning},
    {102, 991272, "Swaplevels for selected pins does not match: ", F::TextArgument, I::Warning},
    {103, 991041, "Pin(s) cannot be swaped logically swaplevel = -1", F::Text, I::Warning},
    {104, 991040, "Pin(s) are not nodes", F::Text, I::Warning},
    {105, 99386, "Can't swap - schematic components not on the same page", F::Text, I::Warning},
};

// Signal-integrity simulation codes of the EM front end.
constexpr ErrorRow kSimulationRows[] = {
    {200, 99931, "Net: ", F::TextArgumentText, I::Warning, 4358, " already set"},
    {201, 43112, "Too many Test Points (max 32 allowed)", F::Text, I::Warning},
    {300, 43113, "Can't create Super Node)", F::Text, I::Warning},
    {301, 43114, "Can't build equivalent circuit", F::Text, I::Warning},
    {302, 43115, "Can't set simulation time step", F::Text, I::Warning},
    {303, 43116, "Can't initialize simulation", F::Text, I::Warning},
    {304, 43117, "Can't continue simulation", F::Text, I::Warning},
    {305, 43118, "Time Step too large", F::Text, I::Warning},
    {306, 43119, "Time Step too small", F::Text, I::Warning},
    {307, 43120, "Start Time too large", F::Text, I::Warning},
    {308, 43121, "Incorrect Time value - Step: ", F::TextArgument, I::Warning},
    {309, 43130, "Drives/Receivers not set - Net: ", F::TextArgument, I::Warning},
};

constexpr int kUnknownNumber = 39116;
constexpr std::string_view kUnknownText = "Unknown Error: ";

void append(std::vector<ErrorRow>& rows, std::span<const ErrorRow> more) {
    rows.insert(rows.end(), more.begin(), more.end());
}

std::vector<ErrorRow> buildTable(Analyzer analyzer) {
    std::vector<ErrorRow> rows;
    append(rows, kCommonRows);
    append(rows, kEngineRows);
    if (analyzer == Analyzer::Thermal) {
        rows.push_back(kThermalComponentNotFound);
        append(rows, kThermalRows);
        append(rows, kThermalEngineRows);
        append(rows, kDesignEditingRows);
    } else {
        rows.push_back(kEmComponentNotFound);
        append(rows, kEmEngineRows);
        append(rows, kSimulationRows);
    }
    std::sort(rows.begin(), rows.end(),
              [](const ErrorRow& a, const ErrorRow& b) { return a.code < b.code; });
    return rows;
}

const std::vector<ErrorRow>& table(Analyzer analyzer) {
    static const std::vector<ErrorRow> thermal = buildTable(Analyzer::Thermal);
    static const std::vector<ErrorRow> em = buildTable(Analyzer::Em);
    return analyzer == Analyzer::Thermal ? thermal : em;
}

std::string localized(std::string_view text, int number) {
    return number ? LocalText(text, number) : std::string(text);
}

std::string removeAccessMarkers(std::string_view caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out.push_back(caption[i]);
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out.push_back('&');
            ++i;
        }
    }
    return out;
}

}  // namespace

std::optional<ErrorRow> FindErrorRow(Analyzer analyzer, int code) {
    const auto& rows = table(analyzer);
    const auto it = std::lower_bound(rows.begin(), rows.end(), code,
                                     [](const ErrorRow& r, int c) { return r.code < c; });
    if (it == rows.end() || it->code != code) return std::nullopt;
    return *it;
}

std::vector<ErrorRow> ErrorTable(Analyzer analyzer) {
    return table(analyzer);
}

Messages::Messages(Analyzer analyzer, MessageBox& box) : analyzer_(analyzer), box_(box) {
    FetchApplicationTitle();
}

void Messages::FetchApplicationTitle() {
    applicationTitle_ =
        LocalText(ApplicationTitleDefault(analyzer_), ApplicationTitleNumber(analyzer_));
}

void Messages::SetCurrentFunction(std::string_view menuCaption) {
    currentFunction_ = removeAccessMarkers(menuCaption);
}

std::string Messages::Title() const {
    return LocalText("Qor32 - ", 99607) + applicationTitle_ + " (" + currentFunction_ + ")";
}

MessageRequest Messages::ErrorMessage(int code, std::string_view argument) const {
    MessageRequest request;
    request.title = Title();
    const std::optional<ErrorRow> row = FindErrorRow(analyzer_, code);
    if (!row) {
        request.text = LocalText(kUnknownText, kUnknownNumber) + DecimalText(code);
        request.icon = MessageIcon::Stop;
        return request;
    }
    const std::string text = localized(row->text, row->number);
    switch (row->form) {
        case MessageForm::Text:
            request.text = text;
            break;
        case MessageForm::TextArgument:
            request.text = text + std::string(argument);
            break;
        case MessageForm::ArgumentText:
            request.text = std::string(argument) + text;
            break;
        case MessageForm::TextArgumentText:
            request.text =
                text + std::string(argument) + localized(row->secondText, row->secondNumber);
            break;
    }
    request.icon = row->icon;
    return request;
}

void Messages::ReportError(int code, std::string_view argument) {
    try {
        box_.show(ErrorMessage(code, argument));
    } catch (...) {
        // Reporting an error must never raise one of its own.
    }
}

void Messages::ReportReadError(std::string_view path, std::string_view errorText) {
    try {
        box_.show({std::string(errorText),
                   LocalText("Can't read file: ", 99365) + std::string(path), MessageIcon::Warning,
                   false});
    } catch (...) {
    }
}

void Messages::ReportWriteError(std::string_view path, std::string_view errorText) {
    try {
        box_.show({std::string(errorText),
                   LocalText("Can't create/write to file: ", 99335) + std::string(path),
                   MessageIcon::Warning, false});
    } catch (...) {
    }
}

}  // namespace qor::frontend
