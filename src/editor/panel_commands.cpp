#include "editor/panel_commands.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "editor/controls.h"
#include "level/element.h"
#include "level/level.h"
#include "level/presets.h"

namespace tessaron::editor {

namespace {

// A field's number as the editor takes it: decimal, an optional minus, empty as 0.
std::int32_t FieldNumber(const runtime::Windows& windows, int field) {
    return runtime::NumberFromText(windows.Text(field));
}

// The difference of two field numbers. The fields take digits only, but a preset file may have
// put any text into them, so the difference is kept within 32 bits instead of wrapping.
std::int32_t FieldDifference(const runtime::Windows& windows, int plus, int minus) {
    const std::int64_t difference =
        std::int64_t{FieldNumber(windows, plus)} - std::int64_t{FieldNumber(windows, minus)};
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(difference, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

std::int32_t Flag(const runtime::Windows& windows, int box) {
    return windows.State(box) != 0 ? 1 : 0;
}

}  // namespace

void RunControlCommand(int control, runtime::Windows& windows, const PresetServices& services) {
    switch (control) {
        case control::kApplyAll:
            ApplyAllCommand(windows);
            break;
        case control::kSavePresetButton:
            SavePresetCommand(windows, services);
            break;
        case control::kPresetList:
            LoadPresetCommand(windows, services.files);
            break;
        case control::kBrushTrackBar:
            BrushTrackBarCommand(windows);
            break;
        case control::kBrushField:
            BrushFieldCommand(windows);
            break;
        default:
            break;
    }
}

void ApplyAllCommand(runtime::Windows& windows) {
    const int state = windows.State(control::kApplyAll);
    for (int box = control::kApplyKind; box <= control::kApplyLink; ++box) {
        windows.SetState(box, state);
    }
}

void SavePresetCommand(runtime::Windows& windows, const PresetServices& services) {
    level::PresetTexts texts;
    for (std::size_t line = 0; line < texts.size(); ++line) {
        texts[line] = windows.Text(control::kPresetFields[line]);
    }
    const int window = windows.Current();
    const level::PresetSave save =
        level::SavePreset(texts, services.files, services.requesters, services.folder);
    if (save.result == level::PresetSaveResult::Failed) {
        windows.MessageBox("Error", "Die Werte konnten nicht gespeichert werden:\n" + save.path +
                                        "\n" + save.problem);
        windows.Use(window);
    }
    RefillPresetList(windows, services.listing);
}

void LoadPresetCommand(runtime::Windows& windows, runtime::Files& files) {
    const int row = windows.State(control::kPresetList);
    if (row < 0) {
        return;
    }
    const std::optional<level::PresetTexts> texts =
        level::ReadPreset(windows.RowText(control::kPresetList, row), files);
    if (!texts) {
        return;
    }
    for (std::size_t line = 0; line < texts->size(); ++line) {
        windows.SetText(control::kPresetFields[line], (*texts)[line]);
    }
}

void RefillPresetList(runtime::Windows& windows, runtime::DirectoryListing& listing) {
    const std::vector<std::string> names = level::ListPresetNames(listing);
    windows.ClearRows(control::kPresetList);
    for (const std::string& name : names) {
        windows.AddRow(control::kPresetList, name);
    }
}

void BrushTrackBarCommand(runtime::Windows& windows) {
    windows.SetText(control::kBrushField,
                    runtime::DecimalText(windows.State(control::kBrushTrackBar)));
}

void BrushFieldCommand(runtime::Windows& windows) {
    const std::int32_t size = std::clamp(FieldNumber(windows, control::kBrushField),
                                         control::kSmallestBrush, control::kLargestBrush);
    windows.SetState(control::kBrushTrackBar, size);
}

void PickCommand(runtime::Windows& windows, const level::Element& element) {
    using namespace control;
    const float kind = level::EditableKind(element.kind);
    for (std::size_t row = 0; row < level::kPalette.size(); ++row) {
        if (level::Code(level::kPalette[row].kind) == kind) {
            windows.SetState(kElementList, static_cast<int>(row));
        }
    }
    if (element.background == level::Code(level::Background::Air)) {
        windows.SetState(kAir, 1);
    } else if (element.background == level::Code(level::Background::Water)) {
        windows.SetState(kWater, 1);
    }
    // A field is written only when its text changes: each write is an event of the field.
    const auto put = [&windows](int field, float value) {
        const std::string text = runtime::DecimalText(runtime::RoundToInt(value));
        if (windows.Text(field) != text) {
            windows.SetText(field, text);
        }
    };
    // The speed cross holds one number per direction; the other of each pair is 0.
    put(kSpeedRight, std::max(element.speedX, 0.0f));
    put(kSpeedLeft, std::max(-element.speedX, 0.0f));
    put(kSpeedDown, std::max(element.speedY, 0.0f));
    put(kSpeedUp, std::max(-element.speedY, 0.0f));
    put(kLength, element.length);
    put(kPause1, element.pause1);
    put(kPause2, element.pause2);
    put(kLink, element.link);
}

void ReadSidePanel(runtime::Windows& windows, PaintSettings& paint) {
    using namespace control;
    // With neither option chosen the background choice keeps its value.
    if (windows.State(kAir) == 1) {
        paint.backgroundChoice = static_cast<int>(level::Background::Air);
    }
    if (windows.State(kWater) == 1) {
        paint.backgroundChoice = static_cast<int>(level::Background::Water);
    }
    const int row = windows.State(kElementList);
    if (row >= 0 && row < static_cast<int>(level::kPalette.size())) {
        paint.kindChoice = static_cast<int>(level::kPalette[static_cast<std::size_t>(row)].kind);
    }

    paint.applyBackground = Flag(windows, kApplyBackground);
    paint.applyKind = Flag(windows, kApplyKind);
    paint.applyLink = Flag(windows, kApplyLink);
    paint.applyLength = Flag(windows, kApplyLength);
    paint.applySpeed = Flag(windows, kApplySpeed);
    paint.applyPause1 = Flag(windows, kApplyPause1);
    paint.applyPause2 = Flag(windows, kApplyPause2);

    windows.Disable(kAir, paint.applyBackground == 0);
    windows.Disable(kWater, paint.applyBackground == 0);
    windows.Disable(kElementList, paint.applyKind == 0);
    windows.Disable(kLink, paint.applyLink == 0);
    windows.Disable(kLength, paint.applyLength == 0);
    for (int field : {kSpeedDown, kSpeedLeft, kSpeedRight, kSpeedUp}) {
        windows.Disable(field, paint.applySpeed == 0);
    }
    windows.Disable(kPause1, paint.applyPause1 == 0);
    windows.Disable(kPause2, paint.applyPause2 == 0);

    const int display = windows.State(kValueDisplay);
    if (display >= 0) {
        paint.valueDisplayChoice = display;
    }

    paint.linkValue = FieldNumber(windows, kLink);
    paint.lengthValue = FieldNumber(windows, kLength);
    paint.speedXValue = FieldDifference(windows, kSpeedRight, kSpeedLeft);
    paint.speedYValue = FieldDifference(windows, kSpeedDown, kSpeedUp);
    paint.pause1Value = FieldNumber(windows, kPause1);
    paint.pause2Value = FieldNumber(windows, kPause2);
    paint.brushSize = std::clamp(windows.State(kBrushTrackBar), kSmallestBrush, kLargestBrush);
}

}  // namespace tessaron::editor
