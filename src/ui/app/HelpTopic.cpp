#include "HelpTopic.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("HelpTopic", text);
}

// clang-format off
QList<HelpTopic> makeTopics() {
    return {
        {tr("Documents"), {
            {tr("Ctrl+N"), tr("Start a new sprite; a sheet asks for its size.")},
            {tr("Ctrl+O"), tr("Open a project.")},
            {tr("Ctrl+S"), tr("Save the project.")},
            {tr("Ctrl+Shift+S"), tr("Save the project under a new name.")},
            {tr("Ctrl+Shift+I"), tr("Import a PNG as a new sprite.")},
            {tr("Ctrl+Shift+E"), tr("Export as PNG, JPEG, BMP, ICO, SVG, animated GIF or a sprite sheet.")},
            {tr("Ctrl+W"), tr("Close the window.")},
            {tr("Ctrl+Q"), tr("Quit Kestrin.")},
        }},
        {tr("Editing"), {
            {tr("Ctrl+Z"), tr("Undo the last stroke or command.")},
            {tr("Ctrl+Shift+Z"), tr("Redo what was undone.")},
            {tr("Ctrl+X"), tr("Cut the selected pixels.")},
            {tr("Ctrl+C"), tr("Copy the selected pixels of the active layer.")},
            {tr("Ctrl+Shift+C"), tr("Copy the selection as all visible layers show it.")},
            {tr("Ctrl+V"), tr("Paste as floating pixels that you can move before placing them.")},
            {tr("Ctrl+Shift+V"), tr("Paste in place: back at the coordinates it was copied from.")},
            {tr("Ctrl+Alt+V"), tr("Paste so that the clip's transparent pixels also clear what they land on.")},
            {tr("Ctrl+Alt+Shift+V"), tr("Paste onto a new layer.")},
            {tr("Delete"), tr("Clear the selected pixels.")},
            {tr("Ctrl+A"), tr("Select the whole canvas.")},
            {tr("Ctrl+Shift+A"), tr("Deselect.")},
            {tr("Ctrl+X, C, V, A"), tr("In a text field: edit the field's text, not the canvas.")},
        }},
        {tr("Tools"), {
            {tr("P"), tr("Pencil.")},
            {tr("E"), tr("Eraser.")},
            {tr("G"), tr("Fill.")},
            {tr("I"), tr("Eyedropper.")},
            {tr("L"), tr("Line.")},
            {tr("U"), tr("Rectangle.")},
            {tr("O"), tr("Ellipse.")},
            {tr("T"), tr("Triangle.")},
            {tr("M"), tr("Rectangle selection.")},
            {tr("V"), tr("Move the selected pixels, or the whole layer when nothing is selected.")},
            {tr("[  ]"), tr("Make the brush one pixel smaller or larger.")},
            {tr("X"), tr("Swap the primary and secondary colors.")},
            {tr("Alt + click"), tr("With the pencil, eraser or fill: pick a color instead of painting.")},
            {tr("Right button"), tr("Paint with the secondary color; the eyedropper picks into it.")},
            {tr("Shift + drag"), tr("Shapes: a square, a circle, an equilateral triangle.")},
            {tr("Shift + drag"), tr("Pencil, eraser and line: straight in 45° steps.")},
            {tr("Shift + drag"), tr("Move: one axis at a time. Selection: a square selection.")},
            {tr("Any layout"), tr("Single-key shortcuts follow the key's place on a Latin layout, and stay out of the way while you type in a text field.")},
        }},
        {tr("Layers"), {
            {tr("Ctrl+Shift+N"), tr("Add a layer above the active one.")},
            {tr("Ctrl+Shift+D"), tr("Duplicate the active layer.")},
            {tr("Ctrl+E"), tr("Merge the active layer into the one below.")},
        }},
        {tr("Animation"), {
            {tr("Ctrl+Alt+N"), tr("Add a frame that copies the current one.")},
            {tr("Ctrl+Alt+Shift+N"), tr("Add an empty frame.")},
            {tr("Return"), tr("Play or stop the animation.")},
            {tr(",  ."), tr("Go to the previous or the next frame.")},
            {tr("Ctrl+Alt+O"), tr("Show or hide the onion skin of neighbouring frames.")},
            {tr("Ctrl+Alt+T"), tr("Show or hide the timeline.")},
        }},
        {tr("Canvas"), {
            {tr("Ctrl++"), tr("Zoom in one step.")},
            {tr("Ctrl+-"), tr("Zoom out one step.")},
            {tr("Ctrl+1"), tr("Show the sprite at its actual size.")},
            {tr("Ctrl+0"), tr("Fit the canvas in the window.")},
            {tr("Ctrl+'"), tr("Show or hide the pixel grid.")},
            {tr("Space + drag"), tr("Pan the canvas.")},
            {tr("Ctrl + drag"), tr("Pan the canvas.")},
            {tr("Middle drag"), tr("Pan the canvas.")},
            {tr("Mouse wheel"), tr("Zoom one step, anchored on the pointer, so the pixel under the cursor stays under it. Settings ▸ Input can make the wheel scroll instead.")},
            {tr("Alt + wheel"), tr("Zoom at the pointer even where scrolling pans.")},
            {tr("Trackpad scroll"), tr("Pan on a trackpad. Settings ▸ Input can make this zoom instead.")},
            {tr("Pinch"), tr("Zoom at the pointer, from 12.5% to 3200%.")},
            {tr("Arrow keys"), tr("Nudge the selected pixels by one. With the Move tool and nothing selected, nudges the whole layer.")},
            {tr("Escape"), tr("Remove floating pixels; without them, cancel the gesture and deselect.")},
            {tr("Return"), tr("Place floating pixels where they are.")},
        }},
        {tr("Help"), {
            {tr("F1, Ctrl+?"), tr("Open this help.")},
        }},
    };
}
// clang-format on

} // namespace

const QList<HelpTopic>& HelpTopic::all() {
    static const QList<HelpTopic> topics = makeTopics();
    return topics;
}
