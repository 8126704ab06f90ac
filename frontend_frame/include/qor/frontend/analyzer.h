// Which front end the shared frame serves: the two differ in their string-store key, title and a
// few texts.
#pragma once

#include <string>

namespace qor::frontend {

enum class Analyzer { Thermal, Em };

// The analyzer's key in the host string store and in its notifications.
inline const char* AnalyzerKey(Analyzer a) {
    return a == Analyzer::Thermal ? "QORTHERM" : "QOREMA";
}

// The message number and default text of the application title.
inline int ApplicationTitleNumber(Analyzer a) {
    return a == Analyzer::Thermal ? 3998 : 4337;
}
inline const char* ApplicationTitleDefault(Analyzer a) {
    return a == Analyzer::Thermal ? "Thermal Analyzer" : "Electromagnetic Analyzer";
}

}  // namespace qor::frontend
