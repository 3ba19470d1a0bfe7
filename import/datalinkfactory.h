#pragma once

#include <functional>
#include <memory>

class CDataLinkPrompt;
class QWidget;

// Makes the connection-string prompt owned by the given window; empty: no prompt available.
using DataLinkPromptFactory = std::function<std::unique_ptr<CDataLinkPrompt>(QWidget* owner)>;
