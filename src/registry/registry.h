#pragma once
// Registry access by root index and sub-key path, in the view the caller names: by default the
// 32-bit view, where the games' 32-bit installers wrote. Failures are silent: callers cannot tell
// them apart.

#include "ports.h"

#include <cstdint>
#include <string>

namespace quellix {

// 0 HKEY_LOCAL_MACHINE, 1 HKEY_CURRENT_USER, 2 HKEY_CLASSES_ROOT, 3 HKEY_USERS,
// 4 HKEY_PERFORMANCE_DATA; any other index gives the null handle 0.
std::uint32_t CleRacine(std::int32_t HK);

// Opens or creates the key; returns its handle (already closed: only the creation counts).
RegHandle CreerCle(const System& os, std::int32_t HK, const std::string& Chemin,
                   RegView view = RegView::Installers);
// Writes a REG_SZ value, creating the key when it is missing; a text that the ANSI code page cannot
// hold is written in Unicode. False when nothing was written.
bool DonnerValeur(const System& os, std::int32_t HK, const std::string& Chemin,
                  const std::string& Valeur, const std::string& donnee,
                  RegView view = RegView::Installers);
// The value as text, or empty; an existing key is only opened, never created.
std::string LireValeur(const System& os, std::int32_t HK, const std::string& Chemin,
                       const std::string& Valeur, RegView view = RegView::Installers);
// Removes a value of an existing key; never creates a key.
void SupprValeur(const System& os, std::int32_t HK, const std::string& Chemin,
                 const std::string& Valeur, RegView view = RegView::Installers);

// The autostart entry of the launcher (nothing calls these yet).
void Run(const System& os, const std::string& parametre);
bool IsRun(const System& os);
void DelRun(const System& os);

} // namespace quellix
