#include "core/app/CommandStates.h"

namespace tess {

void applyNoDocumentState(CommandStates& s)
{
    s.new1 = s.speedButton1 = true;
    s.open1 = s.speedButton2 = true;
    s.save1 = false;
    s.saveAs1 = s.speedButton3 = false;
    s.close1 = s.speedButton4 = false;
    s.print1 = s.speedButton10 = false;
    s.k2 = s.speedButton5 = true;
    s.k3 = s.speedButton6 = false;
    s.k9 = s.speedButton8 = false;
    s.f1 = s.speedButton9 = false;
}

void applyNewDocumentState(CommandStates& s)
{
    s.speedButton1 = false;
    s.speedButton2 = false;
    s.saveAs1 = s.speedButton3 = true;
    s.close1 = s.speedButton4 = true;
    s.print1 = s.speedButton10 = true;
    s.k2 = s.speedButton5 = false;
    s.k3 = s.speedButton6 = true;
    s.k9 = s.speedButton8 = true;
    s.f1 = s.speedButton9 = false;
}

void applyDocumentOpenedState(CommandStates& s)
{
    applyNewDocumentState(s);
    s.f1 = s.speedButton9 = true;
}

void applyRawDataSetOverrides(CommandStates& s)
{
    s.speedButton1 = false;
    s.speedButton2 = false;
    s.speedButton3 = true;
    s.speedButton4 = true;
    s.speedButton5 = false;
    s.speedButton6 = false;
    s.speedButton7 = true;
    s.speedButton8 = false;
}

std::span<const CommandControl> commandControls()
{
    static constexpr CommandControl controls[] = {
        {"File1", &CommandStates::file1},
        {"K1", &CommandStates::k1},
        {"K4", &CommandStates::k4},
        {"KL1", &CommandStates::kl1},
        {"K6", &CommandStates::k6},
        {"ROM1", &CommandStates::rom1},
        {"New1", &CommandStates::new1},
        {"Open1", &CommandStates::open1},
        {"Save1", &CommandStates::save1},
        {"SaveAs1", &CommandStates::saveAs1},
        {"Close1", &CommandStates::close1},
        {"F1", &CommandStates::f1},
        {"Print1", &CommandStates::print1},
        {"Exit1", &CommandStates::exit1},
        {"K2", &CommandStates::k2},
        {"K3", &CommandStates::k3},
        {"K5", &CommandStates::k5},
        {"K8", &CommandStates::k8},
        {"K9", &CommandStates::k9},
        {"KJ1", &CommandStates::kj1},
        {"KE1", &CommandStates::ke1},
        {"K7", &CommandStates::k7},
        {"N5", &CommandStates::n5},
        {"SpeedButton1", &CommandStates::speedButton1},
        {"SpeedButton2", &CommandStates::speedButton2},
        {"SpeedButton3", &CommandStates::speedButton3},
        {"SpeedButton4", &CommandStates::speedButton4},
        {"SpeedButton5", &CommandStates::speedButton5},
        {"SpeedButton6", &CommandStates::speedButton6},
        {"SpeedButton7", &CommandStates::speedButton7},
        {"SpeedButton8", &CommandStates::speedButton8},
        {"SpeedButton9", &CommandStates::speedButton9},
        {"SpeedButton10", &CommandStates::speedButton10},
    };
    return controls;
}

} // namespace tess
