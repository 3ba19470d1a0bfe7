#pragma once

// The built-in English string table: the text of resource id, or nullptr.
const char* builtInString(int id);
// Every built-in string number, ascending.
int builtInStringCount();
int builtInStringIdAt(int index);
