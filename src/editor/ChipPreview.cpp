#include "editor/ChipPreview.h"

#include "editor/EditorTables.h"
#include "model/MenuBarRenderer.h"
#include "model/TemplateSyntax.h"
#include "settings/Localization.h"

namespace ChipPreview {

namespace {

// The item as one template in the part's zone and language (each falling back to the
// item's), so that a chip renders as it would inside that part.
MenuBarItem previewItem(MenuBarItem item, std::optional<int> part) {
    const QList<MenuBarPart> parts = item.effectiveParts();
    if (part && *part >= 0 && *part < parts.size()) {
        if (parts[*part].timeZoneID)
            item.timeZoneID = parts[*part].timeZoneID;
        if (parts[*part].localeID)
            item.localeID = parts[*part].localeID;
    }
    item.parts.reset();
    return item;
}

} // namespace

QString chipLabel(const Chip& chip, const MenuBarItem& item, std::optional<int> part, bool caption,
                  const QDateTime& now) {
    MenuBarItem preview = previewItem(item, part);
    switch (chip.kind) {
    case Chip::Kind::token: {
        QString value = MenuBarRenderer::value(chip.value, preview, now).value_or(QString());
        if (value.isEmpty())
            return chip.templateForm();
        if (const auto key = caption ? EditorTables::captionKey(chip.value) : std::nullopt)
            value += QStringLiteral(" \u00B7 ") + L(*key);
        return value;
    }
    case Chip::Kind::composite:
        preview.templateText = chip.value;
        return MenuBarRenderer::render(preview, now);
    case Chip::Kind::text:
        break;
    }
    return chip.value;
}

std::optional<QString> chipTooltip(const Chip& chip) {
    switch (chip.kind) {
    case Chip::Kind::composite:
        return QString(chip.value).remove(u'{').remove(u'}');
    case Chip::Kind::token:
        for (const MenuBarRenderer::Token& token : MenuBarRenderer::tokens()) {
            if (token.name == chip.value)
                return L(token.descriptionKey);
        }
        return std::nullopt;
    case Chip::Kind::text:
        break;
    }
    const bool spaces =
        std::all_of(chip.value.begin(), chip.value.end(), [](QChar c) { return c == u' '; });
    return spaces ? L("menubar.chip_space", int(chip.value.size())) : chip.value;
}

QString rowText(const MenuBarItem& item, const QDateTime& now) {
    const QString text = TemplateSyntax::trimmed(MenuBarRenderer::render(item, now));
    return text.isEmpty() ? L("menubar.icon_only") : text;
}

QString presetTitle(const MenuBarItem& item, const MenuBarLayout::Preset& preset,
                    const QDateTime& now) {
    if (preset.parts.isEmpty())
        return L("menubar.icon_only");
    MenuBarItem applied = item;
    applied.parts = preset.parts;
    applied.separator = preset.separator;
    return MenuBarRenderer::render(applied, now);
}

} // namespace ChipPreview
