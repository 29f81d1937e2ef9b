// PanelSet: the game's two panels, the tyre panel (F9) and the car setup panel
// (Tab), each off until its key shows it, drawn into the current ImGui frame.
//
// Shortcoming: the panels open at fixed places of an 800 × 600 picture and,
// both shown, overlap until one is dragged aside.
#pragma once

#include <string>

#include "panels/setup_panel.h"
#include "panels/tyre_panel.h"

namespace torvane {

class PanelSet {
public:
    // saveFolder: where the setup panel's "Enregistrer sous…" writes;
    // textures: where the tyre panel's charts are shown (outlives the set).
    PanelSet(std::string saveFolder, ChartTextures& textures) : tyres(textures), setup(std::move(saveFolder)) {}

    // Shows or hides each panel whose key went down; the tyre panel's charts
    // start afresh each time it is shown.
    void toggle(bool tyrePanel, bool setupPanel);
    bool anyShown() const { return tyresShown || setupShown; }
    // Draws the panels shown, for car, into the current ImGui frame.
    void draw(Car& car);

    TyrePanel tyres;
    SetupPanel setup;

private:
    bool tyresShown = false;
    bool setupShown = false;
};

} // namespace torvane
