#include "AsciiKeyboardLayout.h"

#include <QFile>
#include <QSet>
#include <QTextStream>
#include <xkbcommon/xkbcommon.h>

namespace {

std::shared_ptr<xkb_keymap> compileKeymap(const AsciiKeyboardLayout::Names& names) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (!context)
        return nullptr;
    // A misspelt layout is an expected outcome here (we fall back to "us"), not worth a log.
    xkb_context_set_log_level(context, XKB_LOG_LEVEL_CRITICAL);
    const QByteArray layouts = names.layouts.toUtf8();
    const QByteArray variants = names.variants.toUtf8();
    const xkb_rule_names ruleNames = {"evdev", "pc105", layouts.constData(), variants.constData(),
                                      nullptr};
    xkb_keymap* keymap =
        xkb_keymap_new_from_names(context, &ruleNames, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(context);
    if (!keymap)
        return nullptr;
    return std::shared_ptr<xkb_keymap>(keymap, [](xkb_keymap* map) { xkb_keymap_unref(map); });
}

char32_t unshiftedCodePoint(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t layout) {
    const xkb_keysym_t* symbols = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, keycode, layout, 0, &symbols) != 1)
        return 0;
    return xkb_keysym_to_utf32(symbols[0]);
}

bool typesLatinAlphabet(xkb_keymap* keymap, xkb_layout_index_t layout) {
    QSet<char32_t> letters;
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap);
         ++key) {
        const char32_t codePoint = unshiftedCodePoint(keymap, key, layout);
        if (codePoint >= U'a' && codePoint <= U'z')
            letters.insert(codePoint);
    }
    return letters.size() == 26;
}

QString unquoted(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

AsciiKeyboardLayout::AsciiKeyboardLayout(std::shared_ptr<xkb_keymap> keymap, quint32 layoutIndex)
    : keymap(std::move(keymap)), layoutIndex(layoutIndex) {}

AsciiKeyboardLayout::Names AsciiKeyboardLayout::configuredNames() {
    const QString layouts = qEnvironmentVariable("XKB_DEFAULT_LAYOUT");
    if (!layouts.isEmpty())
        return {layouts, qEnvironmentVariable("XKB_DEFAULT_VARIANT")};
    return namesFromKeyboardFile(QStringLiteral("/etc/default/keyboard"));
}

AsciiKeyboardLayout::Names AsciiKeyboardLayout::namesFromKeyboardFile(const QString& path) {
    QFile file(path);
    Names names;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    QTextStream stream(&file);
    QString line;
    while (stream.readLineInto(&line)) {
        const qint64 equals = line.indexOf(u'=');
        if (line.trimmed().startsWith(u'#') || equals < 0)
            continue;
        const QString key = line.first(equals).trimmed();
        if (key == QLatin1String("XKBLAYOUT"))
            names.layouts = unquoted(line.sliced(equals + 1));
        else if (key == QLatin1String("XKBVARIANT"))
            names.variants = unquoted(line.sliced(equals + 1));
    }
    return names;
}

AsciiKeyboardLayout AsciiKeyboardLayout::firstAsciiCapable(const Names& names) {
    if (!names.layouts.trimmed().isEmpty()) {
        if (std::shared_ptr<xkb_keymap> keymap = compileKeymap(names)) {
            const xkb_layout_index_t count = xkb_keymap_num_layouts(keymap.get());
            for (xkb_layout_index_t layout = 0; layout < count; ++layout) {
                if (typesLatinAlphabet(keymap.get(), layout))
                    return AsciiKeyboardLayout(keymap, layout);
            }
        }
    }
    return AsciiKeyboardLayout(compileKeymap({QStringLiteral("us"), QString()}), 0);
}

QString AsciiKeyboardLayout::name() const {
    if (!keymap)
        return QString();
    return QString::fromUtf8(xkb_keymap_layout_get_name(keymap.get(), layoutIndex));
}

QString AsciiKeyboardLayout::character(quint32 keycode) const {
    if (!keymap)
        return QString();
    const char32_t codePoint = unshiftedCodePoint(keymap.get(), keycode, layoutIndex);
    if (codePoint == 0)
        return QString();
    const QString text = QString::fromUcs4(&codePoint, 1);
    return text.at(0).isPrint() ? text : QString();
}
