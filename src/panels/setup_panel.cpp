#include "panels/setup_panel.h"

#include <algorithm>

#include <imgui.h>

#include "carfile/car_file_fields.h"
#include "carfile/car_file_writing.h"
#include "core/player_messages.h"

namespace torvane {
namespace {

// Each slider's travel lies within the range the car file's reader accepts.
constexpr SetupSlider kSliders[] = {
    {"body", "mass", "Masse", 100.0f, 10000.0f, true},
    {"body", "yaw_inertia", "Inertie en lacet", 400.0f, 40000.0f, true},
    {"body", "front_axle", "Essieu avant (u)", 0.0f, 10.0f, false},
    {"body", "rear_axle", "Essieu arrière (u)", 0.0f, 10.0f, false},
    {"wheels", "drive_torque", "Couple moteur par roue", 0.0f, 20000.0f, false},
    {"wheels", "load", "Charge par pneu (N)", 100.0f, 10000.0f, true},
    {"wheels", "damping", "Amortissement des roues", 0.0f, 20.0f, false},
    {"resistance", "yaw_damping_linear", "Amortissement en lacet", 0.0f, 300.0f, false},
    {"resistance", "longitudinal_drag_linear", "Traînée longitudinale", 0.0f, 100.0f, false},
    {"resistance", "longitudinal_drag_quadratic", "Traînée longitudinale (carré)", 0.0f, 20.0f, false},
    {"resistance", "lateral_drag_linear", "Traînée latérale", 0.0f, 200.0f, false},
    {"resistance", "lateral_drag_quadratic", "Traînée latérale (carré)", 0.0f, 30.0f, false},
    {"tyres", "grip_factor", "Adhérence", 0.2f, 5.0f, false},
    {"tyres", "longitudinal_stiffness", "Raideur longitudinale", 0.005f, 1.0f, true},
    {"tyres", "longitudinal_curvature", "Courbure longitudinale", -20.0f, 1.0f, false},
    {"tyres", "longitudinal_shape", "Forme longitudinale", 0.5f, 3.0f, false},
    {"tyres", "lateral_stiffness_peak", "Raideur latérale (N/°)", 100.0f, 10000.0f, true},
    {"tyres", "lateral_curvature_per_load", "Courbure latérale par 1000 N", -2.0f, 2.0f, false},
    {"tyres", "lateral_shape", "Forme latérale", 0.5f, 3.0f, false},
    {"controls", "steering_step", "Pas de braquage (°)", 1.0f, 45.0f, false},
    {"controls", "steering_limit", "Braquage maximal (°)", 5.0f, 90.0f, false},
    {"controls", "throttle_step", "Pas d'accélérateur", 0.01f, 1.0f, false},
};

// The car file's field a slider moves.
const CarFileField* fieldOf(const SetupSlider& slider)
{
    const auto fields = carFileFields();
    const auto found = std::find_if(fields.begin(), fields.end(), [&](const CarFileField& field) {
        return field.table == slider.table && field.key == slider.key;
    });
    return found == fields.end() ? nullptr : &*found;
}

// The French titles of the tables, in the car file's order.
const char* headerOf(std::string_view table)
{
    if (table == "body") {
        return "Caisse";
    }
    if (table == "wheels") {
        return "Roues";
    }
    if (table == "resistance") {
        return "Résistances";
    }
    if (table == "tyres") {
        return "Pneus";
    }
    return "Commandes";
}

std::string outcomeText(CarFileWrite result, const std::string& path)
{
    switch (result) {
    case CarFileWrite::Written:
        return carSavedMessage(path);
    case CarFileWrite::BadName:
        return std::string(kCarNameRefused);
    case CarFileWrite::Exists:
        return carFileExistsMessage(path);
    case CarFileWrite::OutOfRange:
    case CarFileWrite::Failed:
        break;
    }
    return carNotSavedMessage(path);
}

} // namespace

std::span<const SetupSlider> setupSliders()
{
    return kSliders;
}

void SetupPanel::draw(Car& car)
{
    ImGui::SetNextWindowPos(ImVec2(426.0f, 4.0f), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(370.0f, 440.0f), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowBgAlpha(0.85f);
    if (ImGui::Begin("Réglages de la voiture (Tab)")) {
        // Saving first: its outcome stays in sight whatever the sliders' scroll.
        ImGui::SetNextItemWidth(150.0f);
        ImGui::InputTextWithHint("##nom", "nom de la voiture", name, sizeof name);
        ImGui::SameLine();
        if (ImGui::Button("Enregistrer sous…")) {
            saveAs(car, name);
        }
        if (!saveOutcome.empty()) {
            ImGui::TextWrapped("%s", saveOutcome.c_str());
        }
        CarParameters model = car.getParameters();
        bool changed = false;
        std::string_view table;
        for (const SetupSlider& slider : kSliders) {
            if (slider.table != table) {
                table = slider.table;
                ImGui::Separator();
                ImGui::TextUnformatted(headerOf(table));
            }
            const CarFileField* field = fieldOf(slider);
            float& value = field->in(model);
            // A model from a file may lie beyond the travel: the slider then reaches it.
            const float low = std::min(slider.low, value);
            const float high = std::max(slider.high, value);
            ImGuiSliderFlags flags = ImGuiSliderFlags_AlwaysClamp;
            if (slider.logarithmic) {
                flags |= ImGuiSliderFlags_Logarithmic;
            }
            ImGui::SetNextItemWidth(150.0f);
            changed |= ImGui::SliderFloat(slider.label, &value, low, high, "%.4g", flags);
        }
        if (changed) {
            car.setParameters(model);
        }
    }
    ImGui::End();
}

void SetupPanel::saveAs(const Car& car, std::string_view fileName)
{
    const CarFileWrite result = writeNewCarFile(folder, fileName, car.getParameters());
    saveOutcome = outcomeText(result, carFilePath(folder, fileName));
}

} // namespace torvane
