// The details log's separator line: a title centred between hyphens across a given width.
#pragma once

#include <functional>
#include <string>

// Hyphens filling width pixels, with " title " in their middle when title is not empty; the
// odd hyphen goes to the right. A title wider than width stands alone with its two blanks.
// measure gives the width of a text in the log's font. No line end.
std::wstring SeparatorLine(const std::wstring& title, int width, const std::function<int(const std::wstring&)>& measure);
