// Builds the editor's views from the layout tables, and carries out the
// preset menu's choices.
#pragma once

class CControl;
class CFrame;
class ZuUniClientEditor;

// Every control and display of the panel, in table order, bound to its
// engine value and added to the frame.
void buildPanel(ZuUniClientEditor& editor, CFrame& frame);

// The preset menu reported a choice.
void presetMenuAction(ZuUniClientEditor& editor, CControl* menu);
