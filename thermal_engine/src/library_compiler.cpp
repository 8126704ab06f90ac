#include "library_compiler.h"

#include <charconv>
#include <cmath>
#include <new>

namespace qor::thm {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Fields are separated by blanks; blanks and tabs before a field are skipped, and a field ends at
// the next blank (a tab does not end it).
class FieldReader {
  public:
    explicit FieldReader(std::string_view line) : line_(line) {}
    bool next(std::string_view& field) {
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
        if (pos_ >= line_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
        field = line_.substr(start, pos_ - start);
        return true;
    }

  private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

}  // namespace

double parseReal(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            i = j;
        }
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + i, value);
    (void)end;
    // A magnitude beyond the doubles is no usable number; one below them is 0.
    if (ec != std::errc() || !std::isfinite(value)) return 0.0;
    return negative ? -value : value;
}

LibraryCompiler::~LibraryCompiler() {
    closeSource();
}

void LibraryCompiler::closeSource() {
    if (source_) std::fclose(source_);
    source_ = nullptr;
    buffer_.reset();
}

std::int32_t LibraryCompiler::create(const char* source, const char* name,
                                     const std::string& libraryFolder, DeviceLibrary& library) {
    if (!source || !*source || !name || !*name) return THM_COMPILE_NO_SOURCE;
    const std::string target = libraryFolder + "/" + name + ".TAL";
    closeSource();
    source_ = std::fopen(source, "r");
    if (!source_) return THM_COMPILE_NO_SOURCE;
    buffer_.reset(new (std::nothrow) char[kSourceBufferBytes]);
    if (!buffer_) {
        closeSource();
        return THM_COMPILE_NO_MEMORY;
    }
    std::setvbuf(source_, buffer_.get(), _IOFBF, kSourceBufferBytes);
    if (const std::int32_t code = library.create(target.c_str())) return code;
    return library.select(target.c_str());
}

bool LibraryCompiler::readLine(std::string& line) {
    line.clear();
    int c = std::getc(source_);
    if (c == EOF) return false;
    // A line longer than the limit keeps its first characters; the rest is no line of its own.
    for (; c != EOF && c != '\n'; c = std::getc(source_))
        if (line.size() < kSourceLineChars) line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::int32_t LibraryCompiler::compileLine(DeviceLibrary& library) {
    if (!source_) return THM_COMPILE_NO_SOURCE;
    std::string text;
    if (!readLine(text)) {
        closeSource();
        const std::int32_t code = library.close();
        return code == 0 ? THM_COMPILE_END : code;
    }
    // The line ends at its first NUL, as any text does.
    const std::string_view line(text.c_str());
    FieldReader fields(line);
    std::string_view name;
    fields.next(name);
    if (name.size() >= kSourceNameLimit) return THM_COMPILE_LINE_DONE;
    std::string_view package;
    if (!fields.next(package)) return THM_COMPILE_SHORT_LINE;
    double values[4];
    for (double& value : values) {
        std::string_view field;
        if (!fields.next(field)) return THM_COMPILE_SHORT_LINE;
        value = parseReal(field);
    }
    DeviceRecord record{};
    record.packageType = static_cast<std::uint8_t>(packageTypeCode(package));
    record.minPowerW = values[0];
    record.maxPowerW = values[1];
    record.junctionCaseCPerW = values[2];
    record.caseAirCPerW = values[3];
    const std::string deviceName(name);
    return library.insert(deviceName.c_str(), &record);
}

std::int32_t LibraryCompiler::close(DeviceLibrary& library) {
    closeSource();
    return library.close();
}

}  // namespace qor::thm
