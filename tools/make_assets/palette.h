// The shared palette. Every picture paints with these ramps, each ordered from its darkest to
// its lightest colour, so that all pictures agree in colour and in how light falls on them
// (always from the top left). None of the colours is pure black, the transparent colour.
#pragma once

#include <array>
#include <span>

#include "image.h"

namespace tessaron::assets::palette {

using Ramp = std::span<const Rgb>;

// The one outline colour: a blue-black that is dark on screen but never transparent.
inline constexpr Rgb kOutline{14, 12, 22};
inline constexpr Rgb kWhite{248, 248, 240};

inline constexpr std::array<Rgb, 7> kStone{{{30, 32, 44},
                                            {52, 56, 72},
                                            {78, 84, 100},
                                            {108, 114, 128},
                                            {140, 146, 156},
                                            {176, 180, 186},
                                            {214, 216, 216}}};
inline constexpr std::array<Rgb, 6> kBrick{
    {{64, 24, 30}, {104, 38, 36}, {146, 58, 44}, {180, 84, 56}, {208, 118, 80}, {232, 160, 118}}};
inline constexpr std::array<Rgb, 4> kMortar{
    {{96, 86, 84}, {138, 126, 116}, {176, 164, 148}, {206, 196, 178}}};
inline constexpr std::array<Rgb, 6> kEarth{
    {{42, 26, 24}, {68, 42, 32}, {98, 62, 40}, {128, 86, 54}, {160, 114, 72}, {190, 146, 98}}};
inline constexpr std::array<Rgb, 7> kGrass{{{20, 48, 38},
                                            {30, 78, 44},
                                            {48, 112, 48},
                                            {82, 150, 54},
                                            {128, 184, 64},
                                            {176, 212, 92},
                                            {220, 236, 148}}};
inline constexpr std::array<Rgb, 6> kLeaf{
    {{18, 40, 40}, {26, 64, 48}, {38, 96, 54}, {62, 130, 60}, {102, 162, 68}, {150, 196, 96}}};
inline constexpr std::array<Rgb, 5> kSky{
    {{96, 150, 214}, {114, 170, 226}, {134, 188, 236}, {164, 208, 244}, {204, 230, 250}}};
inline constexpr std::array<Rgb, 7> kWater{{{16, 40, 96},
                                            {22, 60, 130},
                                            {30, 84, 160},
                                            {42, 112, 186},
                                            {70, 146, 206},
                                            {118, 188, 228},
                                            {196, 236, 250}}};
inline constexpr std::array<Rgb, 6> kWood{
    {{62, 34, 26}, {100, 58, 36}, {140, 88, 48}, {180, 122, 66}, {212, 160, 96}, {236, 200, 140}}};
inline constexpr std::array<Rgb, 6> kOak{
    {{40, 22, 24}, {66, 36, 32}, {94, 54, 40}, {122, 74, 50}, {150, 98, 64}, {176, 126, 84}}};
inline constexpr std::array<Rgb, 6> kIron{
    {{26, 26, 36}, {44, 46, 60}, {66, 70, 86}, {96, 102, 118}, {138, 146, 160}, {196, 204, 214}}};
inline constexpr std::array<Rgb, 7> kGold{{{84, 48, 20},
                                           {134, 84, 22},
                                           {184, 124, 28},
                                           {222, 166, 42},
                                           {244, 204, 72},
                                           {252, 230, 136},
                                           {255, 248, 210}}};
inline constexpr std::array<Rgb, 7> kSilver{{{46, 50, 66},
                                             {78, 84, 104},
                                             {114, 122, 140},
                                             {152, 160, 176},
                                             {188, 196, 208},
                                             {220, 226, 234},
                                             {246, 248, 250}}};
inline constexpr std::array<Rgb, 7> kCopper{{{70, 30, 22},
                                             {112, 50, 30},
                                             {156, 78, 40},
                                             {196, 110, 56},
                                             {226, 148, 84},
                                             {244, 188, 130},
                                             {252, 226, 190}}};
inline constexpr std::array<Rgb, 6> kRed{
    {{72, 14, 26}, {122, 24, 34}, {176, 38, 40}, {222, 64, 52}, {246, 114, 84}, {255, 176, 144}}};
inline constexpr std::array<Rgb, 6> kCyan{{{14, 56, 76},
                                           {20, 96, 118},
                                           {30, 146, 164},
                                           {64, 198, 206},
                                           {132, 234, 232},
                                           {214, 255, 250}}};
inline constexpr std::array<Rgb, 6> kFire{{{140, 28, 20},
                                           {204, 64, 22},
                                           {240, 118, 30},
                                           {252, 178, 52},
                                           {255, 226, 120},
                                           {255, 250, 214}}};
inline constexpr std::array<Rgb, 6> kBlue{
    {{20, 26, 70}, {30, 44, 112}, {44, 70, 160}, {66, 104, 202}, {104, 146, 230}, {160, 194, 248}}};
inline constexpr std::array<Rgb, 4> kYellow{
    {{150, 100, 16}, {214, 162, 24}, {246, 206, 52}, {255, 238, 130}}};
inline constexpr std::array<Rgb, 4> kOrange{
    {{146, 52, 18}, {208, 92, 26}, {244, 140, 40}, {255, 190, 100}}};
inline constexpr std::array<Rgb, 4> kViolet{
    {{62, 28, 96}, {102, 46, 150}, {148, 76, 196}, {196, 136, 232}}};
inline constexpr std::array<Rgb, 4> kPaper{
    {{150, 150, 158}, {196, 196, 200}, {228, 226, 220}, {250, 248, 240}}};

}  // namespace tessaron::assets::palette
