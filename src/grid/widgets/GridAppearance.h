#pragma once
// The grid's look as the settings give it. Everything that changes these
// settings (start-up, every listing, the preferences) applies them here.

namespace brisden {
class Settings;
}

namespace brisden::grid {

class LedgerGrid;
class LedgerModel;
struct GridAppearance;

// Colours, line width and font of the settings (the grid's own font where
// the settings name none).
GridAppearance AppearanceFromSettings(const Settings& settings, const LedgerGrid& grid);

// Applies the colours (cells, negatives, suspect rows), grid lines and font.
void ApplyGridAppearance(LedgerGrid& grid, LedgerModel& model, const Settings& settings);

// Builds the columns again (record type column position, fixed columns,
// widths, data row height) and applies the appearance and the row heights.
void ApplyGridSettings(LedgerGrid& grid, LedgerModel& model, const Settings& settings);

}  // namespace brisden::grid
