#include "panels/panel_set.h"

namespace torvane {

void PanelSet::toggle(bool tyrePanel, bool setupPanel)
{
    if (tyrePanel) {
        tyresShown = !tyresShown;
        tyres.forget();
    }
    setupShown = setupShown != setupPanel;
}

void PanelSet::draw(Car& car)
{
    if (tyresShown) {
        tyres.draw(car);
    }
    if (setupShown) {
        setup.draw(car);
    }
}

} // namespace torvane
