// Electrical parameters of nets (a driving voltage and a frequency per net), engineering value
// text, and the net parameter text file (".enp"): "name,5V,x ,x,10MHz", one net per line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::frontend {

// value with an SI prefix and unit, up to 6 significant digits ("4.7k", "10MHz"); the micro
// sign is the localized text 991454.
std::string FormatEngValue(double value, std::string_view unit);
// The value of an engineering text; an empty text counts as "0".
double ParseEngValue(std::string_view text);

// One slot per net index 1 ... 32768. A slot is set only with a voltage and a frequency that are
// both non-zero.
class NetParamTable {
public:
    static constexpr int32_t kSlots = 32768;

    NetParamTable();
    // Stores and marks the slot set when both values are non-zero; otherwise clears the slot to
    // zeros and returns false. An index outside 1 ... 32768 changes nothing and returns false.
    bool set(int32_t index, double voltage, double frequency);
    // Marks the slot not set (its values stay); false for an index outside the table.
    bool clear(int32_t index);
    // True and both values when the slot is set.
    bool get(int32_t index, double& voltage, double& frequency) const;
    void clearAll();
    // The set slots in ascending order.
    std::vector<int32_t> setIndices() const;

private:
    struct Slot {
        bool set = false;
        double voltage = 0, frequency = 0;
    };
    std::vector<Slot> slots_;
};

struct NetParameterLoad {
    int applied = 0;  // lines that set or cleared a net
    int skipped = 0;  // lines of another form, of an unknown net, or (append) of a net already set
};

// Reads the lines of a net parameter text into the table. Append keeps the nets that are already
// set; otherwise the table is cleared first, and a line with a zero or missing value clears its
// net. netIndex gives the index of a trimmed net name, 0 when the design has no such net.
NetParameterLoad LoadNetParameters(std::string_view text, bool append, NetParamTable& table,
                                   const std::function<int32_t(const std::string&)>& netIndex);

// The text of every set slot in ascending index order, each line ended by CR LF.
std::string NetParameterText(const NetParamTable& table, const std::function<std::string(int32_t)>& netName);

}  // namespace qor::frontend
