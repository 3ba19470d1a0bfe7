#pragma once

#include "mediaform.h"

#include <QString>

#include <string_view>

// A MediaID's parts in words, from the string table: "RF card, serial number 00001A2B3C4D,
// check byte 6D: correct". A text that is not yet a whole MediaID says what it lacks; an
// empty one gives an empty text.
QString MediaIdDescription(std::string_view mediaId);
// The same for a text as typed or shown: its length counts characters, not bytes.
QString MediaIdDescriptionAsTyped(const QString& mediaId);

// The kind of medium a family code stands for: "iButton", "RF card", "Magnetic card" or
// "family XX".
QString MediaKindText(std::string_view family);

// Why a printed number was refused, as one sentence.
QString MediaFormRefusalText(const MediaFormRefusal& refusal);
