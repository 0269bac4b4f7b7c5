// The readable list of a file's languages that message 193 shows.
#pragma once

#include <string>
#include <vector>

// Primary language ids that choose the conjunction before the last name.
constexpr unsigned kLanguageGerman = 7;
constexpr unsigned kLanguageFrench = 12;

// Joins the names of a translation table, given in table order, into strOut: ", "
// before every name between the first and the last, and before the last name (when
// something precedes it) "und " on a German system, "et " on a French one, "and "
// elsewhere. The separators go straight after the previous name, so "X, Yund Z" is
// the German list of three. An empty name (an id the system cannot name) is skipped
// together with its separator.
void JoinLanguageNames(std::string& strOut, const std::vector<std::string>& vecNames, unsigned nUserLanguage);
