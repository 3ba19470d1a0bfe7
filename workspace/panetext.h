#pragma once

#include <QString>

#include <string>

class CCodePage;

// The workspace keeps byte texts in the program's code page; the lists show
// them through one program-wide converter.
namespace PaneText {
// The converter in use (the locale's code page until set otherwise).
const CCodePage& codePage();
// Switches the converter for the rest of the run (an unknown name keeps ASCII only).
void setCodePage(const QString& name);
QString toUnicode(const std::string& bytes);
// Media IDs and numbers are plain ASCII; everything else goes through the code page.
QString ascii(const std::string& bytes);
} // namespace PaneText
