#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "platform/window_toolkit.h"

// The window's layout as data, at 96 dpi: every control with its place, text, state and font.
namespace layout {

using platform::ControlKind;
using platform::ControlLayout;
using platform::FontKind;
using platform::TextColour;

// Memo2's inert batch text, 31 lines; three of them end in a blank.
inline constexpr std::u16string_view kBatchText =
    u"@echo off\r\n"
    u"setlocal enabledelayedexpansion\r\n"
    u"\r\n"
    u"set \"source=G:\\Tavirel\"\r\n"
    u"set \"filename=tav*.exe\"\r\n"
    u"set \"destination=AppData\\Local\r\n"
    u"\\Tavirel\"\r\n"
    u"\r\n"
    u":: Get the current user's profile \r\n"
    u"directory\r\n"
    u"set \"currentUser=%USERPROFILE%\"\r\n"
    u"\r\n"
    u"echo Updating files matching \r\n"
    u"%filename% in %currentUser%\\\r\n"
    u"%destination%\r\n"
    u"\r\n"
    u"for %%f in (\"%source%\\%filename\r\n"
    u"%\") do (\r\n"
    u"    set \"destFile=%currentUser%\\\r\n"
    u"%destination%\\%%~nxf\"\r\n"
    u"    if exist \"!destFile!\" (\r\n"
    u"        echo Copying \"%%f\" to \"!\r\n"
    u"destFile!\"\r\n"
    u"        copy /y \"%%f\" \"!destFile!\" > nul\r\n"
    u"    ) else (\r\n"
    u"        echo File \"%%f\" not found in \r\n"
    u"destination. Skipping.\r\n"
    u"    )\r\n"
    u")\r\n"
    u"\r\n"
    u"echo Update process complete.";

// The picture control names the resource that holds its image.
inline constexpr std::u16string_view kPictureResource = u"BACKGROUND";

inline constexpr auto P = ControlKind::Picture;
inline constexpr auto L = ControlKind::Label;
inline constexpr auto M = ControlKind::Memo;
inline constexpr auto E = ControlKind::Edit;
inline constexpr auto B = ControlKind::Button;

// name, kind, left, top, width, height, text, visible, enabled, font, colour, vertical scroll bar
inline constexpr ControlLayout kControls[] = {
    {u"Image1", P, -3, -2, 226, 338, kPictureResource, true, true},
    {u"Label1", L, 8, 8, 61, 13, u"MAP DRIVE :", true, true, FontKind::Form, TextColour::Window},
    {u"Label2", L, 8, 54, 61, 13, u"SERVER IP : ", true, true},
    {u"Label3", L, 246, 38, 61, 13, u"Common IP :", true, true},
    {u"Label4", L, 230, 65, 77, 13, u"Common USER :", true, true},
    {u"Label5", L, 231, 92, 76, 13, u"Common PASS :", true, true},
    {u"Label6", L, 243, 119, 64, 13, u"Common DB :", true, true},
    {u"Label7", L, 224, 11, 83, 13, u"Common Driver : ", true, true},
    {u"Label8", L, 467, 11, 50, 13, u"FTPHost : ", true, true},
    {u"Label9", L, 467, 38, 50, 13, u"FTPUser : ", true, true},
    {u"Label10", L, 464, 65, 53, 13, u"FTPPswd : ", true, true},
    {u"Label11", L, 467, 92, 50, 13, u"FTPPath : ", true, true},
    {u"Label12", L, 438, 146, 79, 13, u"DownloadPath : ", true, true},
    {u"Label13", L, 441, 119, 76, 13, u"TempEXEPath : ", true, true},
    {u"Memo1", M, 8, 100, 205, 174, u"", true, true, FontKind::Form, TextColour::WindowText, true},
    {u"Edit1", E, 8, 27, 205, 21, u"", true, false},
    {u"Button1", B, 8, 280, 205, 35, u"START COPY", true, true, FontKind::LargeBold, TextColour::Window},
    {u"Edit2", E, 8, 73, 205, 21, u"", true, false},
    {u"Edit3", E, 386, 294, 258, 21, u"", true, false},
    {u"Memo2", M, 8, 185, 201, 89, kBatchText, false, false},
    {u"Edit4", E, 313, 35, 109, 21, u"", true, false},
    {u"Edit5", E, 313, 62, 109, 21, u"", true, false},
    {u"Edit6", E, 313, 89, 109, 21, u"", true, false},
    {u"Edit7", E, 313, 116, 109, 21, u"", true, false},
    {u"Button2", B, 305, 290, 75, 25, u"Button2", false, true},
    {u"Edit8", E, 313, 8, 109, 21, u"", true, false},
    {u"Memo3", M, 224, 143, 201, 141, u"", true, false},
    {u"Edit9", E, 523, 8, 121, 21, u"", true, false},
    {u"Edit10", E, 523, 35, 121, 21, u"", true, false},
    {u"Edit11", E, 523, 62, 121, 21, u"", true, false},
    {u"Edit12", E, 523, 89, 121, 21, u"", true, false},
    {u"Edit13", E, 523, 143, 121, 21, u"", true, false},
    {u"Edit14", E, 523, 116, 121, 21, u"", true, false},
    {u"Button3", B, 224, 290, 75, 25, u"Copy", false, true},
    {u"Button4", B, 523, 170, 121, 25, u"Create Shortcuts", false, true},
};

// The strip left of x = 224 is all the narrowed window shows.
inline constexpr int kStripOuterWidth = 230;
inline constexpr int kStripClientWidth = 224;
inline constexpr int kClientWidth = 663;
inline constexpr int kClientHeight = 333;

// The table index of a control, resolved at compile time: a misspelt name does not build.
consteval size_t IndexOf(std::u16string_view name) {
  for (size_t i = 0; i < std::size(kControls); ++i)
    if (kControls[i].name == name) return i;
  throw "no control of that name";
}

inline constexpr platform::FormLayout kForm{u"TForm1", u"TavCopy", kClientWidth, kClientHeight, kControls};

}  // namespace layout
