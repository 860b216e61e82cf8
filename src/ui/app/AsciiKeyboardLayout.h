#pragma once

#include <QString>
#include <memory>

struct xkb_keymap;

// The first keyboard layout of the session that types the Latin alphabet, used to tell which
// Latin character a physical key carries while another input source (Cyrillic, Greek, ...) is
// active. Copies share one compiled keymap.
class AsciiKeyboardLayout {
public:
    // xkb rule names as the system configures them: comma-separated, one entry per layout.
    struct Names {
        QString layouts;
        QString variants;
    };

    // The session's layouts: XKB_DEFAULT_LAYOUT and XKB_DEFAULT_VARIANT when set, else the
    // system keyboard file.
    static Names configuredNames();
    // XKBLAYOUT and XKBVARIANT of a keyboard file in the /etc/default/keyboard form.
    static Names namesFromKeyboardFile(const QString& path);
    // The first of the named layouts that types every Latin letter; "us" when none does or the
    // names cannot be compiled. Invalid only when even "us" is missing from the xkb data.
    static AsciiKeyboardLayout firstAsciiCapable(const Names& names);
    static AsciiKeyboardLayout forSession() { return firstAsciiCapable(configuredNames()); }

    bool isValid() const { return keymap != nullptr; }
    // The layout's descriptive xkb name, such as "English (US)".
    QString name() const;
    // What the key with this xkb keycode (the scan code Qt reports) types without modifiers
    // on this layout; empty for dead keys, keys without a character and unknown codes.
    QString character(quint32 keycode) const;

private:
    AsciiKeyboardLayout(std::shared_ptr<xkb_keymap> keymap, quint32 layoutIndex);

    std::shared_ptr<xkb_keymap> keymap;
    quint32 layoutIndex = 0;
};
