#pragma once
// The skin data component's switches as stored sets: the ordinal of each name is its bit.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velmora::skin {

enum TSkinOption : unsigned {
    xoMDIScrollbar, xoMenuMerge, xoTransparent, xoPreview, xoParentBackGround, xoNoFocusRect,
    xoToolbarBK, xoToolbarButton, xoMDIChildBorder, xoMenuBG, xoCaptionButtonHint, xoFormScrollbar
};
inline constexpr std::array<const char*, 12> kSkinOptionNames = {
    "xoMDIScrollbar", "xoMenuMerge", "xoTransparent", "xoPreview", "xoParentBackGround", "xoNoFocusRect",
    "xoToolbarBK", "xoToolbarButton", "xoMDIChildBorder", "xoMenuBG", "xoCaptionButtonHint", "xoFormScrollbar"};

enum TSkinControlType : unsigned {
    xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton,
    xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel, xcGroupBox,
    xcStatusBar, xcTab, xcTrackBar, xcSystemMenu, xcFastReport
};
inline constexpr std::array<const char*, 22> kSkinControlTypeNames = {
    "xcMainMenu", "xcPopupMenu", "xcMenuItem", "xcToolbar", "xcControlbar", "xcCombo", "xcCheckBox",
    "xcRadioButton", "xcProgress", "xcScrollbar", "xcEdit", "xcButton", "xcBitBtn", "xcSpeedButton",
    "xcSpin", "xcPanel", "xcGroupBox", "xcStatusBar", "xcTab", "xcTrackBar", "xcSystemMenu", "xcFastReport"};

enum TSkinFormType : unsigned { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };
inline constexpr std::array<const char*, 4> kSkinFormTypeNames = {"sfMainform", "sfOnlyThisForm", "sfDialog", "sfDLL"};

constexpr uint32_t bit(unsigned ordinal) { return uint32_t{1} << ordinal; }
constexpr bool has(uint32_t set, unsigned ordinal) { return (set & bit(ordinal)) != 0; }

// A new component's values: every control kind but menu items and report previews, and
// preview windows, tool-bar backgrounds and caption-button hints.
inline constexpr uint32_t kDefaultSkinControls = 0x1FFFFB;
inline constexpr uint32_t kDefaultSkinOptions = 0x0448;
static_assert(kDefaultSkinControls == (bit(22) - 1) - bit(xcMenuItem) - bit(xcFastReport));
static_assert(kDefaultSkinOptions == (bit(xoPreview) | bit(xoToolbarBK) | bit(xoCaptionButtonHint)));

// Decides for one window class whether it is skinned (an application's OnFormSkin).
using FormSkinDecider = std::function<void(const std::string& className, bool& doSkin)>;

// The form filter: an assigned decider alone decides; otherwise month calendars are left
// alone, and so are report preview classes ("Tfr...") when xcFastReport is set.
bool skinsFormClass(std::string_view className, uint32_t skinControls, const FormSkinDecider& onFormSkin);

}  // namespace velmora::skin
