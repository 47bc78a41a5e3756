#pragma once
// The images of the window's flat buttons: simple glyphs painted as vector
// shapes at whatever size and pixel density the button asks for, so they stay
// crisp on high-density screens. Designed on a 24 x 24 grid.

#include <QIcon>

enum class ButtonGlyph {
    Open, Play, Pause, Stop,
    PreviousMarker, NextMarker, AddMarker, DeleteMarker,
    ZoomIn, ZoomOut,
    AddToPlayList, PreviousFile, NextFile, PlayList, Options, Compact,
    Edit, Delete, Save, Help, About,
    // The playlist window's list buttons.
    ClearList, AddFolder, RemoveLine,
};

QIcon ButtonImage(ButtonGlyph glyph);

class QToolButton;
class QWidget;
class QRect;
class QString;

// A flat, pointing-hand button with one of these images at 24 x 24, named for
// the language file, that never takes the keyboard focus from the window.
QToolButton* MakeFlatButton(QWidget* parent, const char* name, ButtonGlyph glyph, const QString& hint,
                            const QRect& place);
