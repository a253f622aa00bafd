#include "level/element.h"

namespace tessaron::level {

namespace {
// The record's fields in their order, as members, so that index access stays type-checked.
constexpr std::array<float Element::*, kElementFieldCount> kFields = {
    &Element::background, &Element::homeColumn, &Element::homeRow, &Element::kind,
    &Element::column,     &Element::row,        &Element::motion,  &Element::link,
    &Element::travelled,  &Element::length,     &Element::speedX,  &Element::speedY,
    &Element::pauseCount, &Element::pause1,     &Element::pause2,
};
}  // namespace

float& Field(Element& element, int index) {
    return element.*kFields.at(index);
}
float Field(const Element& element, int index) {
    return element.*kFields.at(index);
}

const std::array<std::string_view, kElementFieldCount> kElementFieldNames = {
    "background", "homeColumn", "homeRow", "kind",   "column",     "row",    "motion", "link",
    "travelled",  "length",     "speedX",  "speedY", "pauseCount", "pause1", "pause2",
};

const std::array<PaletteEntry, 20> kPalette = {{
    {"Nichts", ElementKind::Empty, "BMP\\Leer.bmp"},
    {"Ziegelstein", ElementKind::Brick, "BMP\\Ziegelsteine.bmp"},
    {"Beton", ElementKind::Concrete, "BMP\\Beton.bmp"},
    {"Erde", ElementKind::Earth, "BMP\\Erde.bmp"},
    {"Rasen", ElementKind::Grass, "BMP\\Rasen.bmp"},
    {"Gestrüp", ElementKind::Bush, "BMP\\Gestrüp100.bmp"},
    {"Holz", ElementKind::Wood, "BMP\\Flugstein.bmp"},
    {"Tür", ElementKind::Door, "BMP\\Tür.bmp"},
    {"Schalter", ElementKind::Switch, "BMP\\Schalter.bmp"},
    {"Sensor", ElementKind::Sensor, "BMP\\Sensor.bmp"},
    {"Stacheln", ElementKind::Spikes, "BMP\\Stacheln.bmp"},
    {"Fackel", ElementKind::Torch, "BMP\\Fackel1.bmp"},
    {"Diskette", ElementKind::Disk, "BMP\\DISK.bmp"},
    {"1 €", ElementKind::Coin1, "BMP\\1-.bmp"},
    {"2 €", ElementKind::Coin2, "BMP\\2-.bmp"},
    {"5 €", ElementKind::Coin5, "BMP\\5-.bmp"},
    {"10 €", ElementKind::Coin10, "BMP\\10-.bmp"},
    {"20 €", ElementKind::Coin20, "BMP\\20-.bmp"},
    {"50 €", ElementKind::Coin50, "BMP\\50-.bmp"},
    {"Ziel", ElementKind::Goal, "BMP\\Ziel.bmp"},
}};

}  // namespace tessaron::level
