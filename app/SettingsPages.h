// Which controls belong to each page of the settings window, in the order they are shown.
#pragma once

#include <span>

// The controls of a page; empty for a number that names no page.
std::span<const int> PageControls(int page);
