// UTF-8 to UTF-16 and back, for the Windows calls that take wide names.
#pragma once

#include <string>

namespace vsthost {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* wide);

} // namespace vsthost
