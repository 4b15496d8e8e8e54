#pragma once

// The programs' own texts are UTF-8 std::strings (the layers below the
// windows have no Qt); the windows show them through this one conversion.

#include <QString>

#include <string>

namespace forms {

inline QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace forms
