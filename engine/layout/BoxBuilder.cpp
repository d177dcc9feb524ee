#include "layout/BoxBuilder.h"

#include <cwchar>

namespace layout {

using dom::Tag;

namespace {

constexpr long long kMaxPicturePixels = 64LL * 1000 * 1000;
constexpr int kMaxBoxDepth = 1000;

bool IsBlockLevel(Display display) {
    return display == Display::Block || display == Display::ListItem || display == Display::Table;
}

bool IsCollapsibleSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

bool IsAllSpace(const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i)
        if (!IsCollapsibleSpace(text[i])) return false;
    return true;
}

CString RomanNumeral(int value) {
    static const struct { int value; const wchar_t* text; } kDigits[] = {
        {1000, L"m"}, {900, L"cm"}, {500, L"d"}, {400, L"cd"}, {100, L"c"}, {90, L"xc"},
        {50, L"l"}, {40, L"xl"}, {10, L"x"}, {9, L"ix"}, {5, L"v"}, {4, L"iv"}, {1, L"i"}};
    if (value <= 0 || value >= 4000) return CString(std::to_wstring(value).c_str());
    CString text;
    for (const auto& digit : kDigits)
        while (value >= digit.value) text += digit.text, value -= digit.value;
    return text;
}

CString MarkerText(ListMarker marker, int number) {
    switch (marker) {
    case ListMarker::Decimal: return CString(std::to_wstring(number).c_str()) + L". ";
    case ListMarker::LowerAlpha: case ListMarker::UpperAlpha: {
        if (number <= 0) return CString(std::to_wstring(number).c_str()) + L". ";
        CString letters;
        for (int n = number; n > 0; n = (n - 1) / 26) letters.Insert(0, static_cast<wchar_t>(L'a' + (n - 1) % 26));
        if (marker == ListMarker::UpperAlpha) letters.MakeUpper();
        return letters + L". ";
    }
    case ListMarker::LowerRoman: return RomanNumeral(number) + L". ";
    case ListMarker::UpperRoman: { CString text = RomanNumeral(number); text.MakeUpper(); return text + L". "; }
    default: return CString();
    }
}

class Builder {
    using Chain = std::vector<std::pair<const dom::Node*, const Style*>>;

public:
    Builder(const dom::Document& document, const PictureLoader& loader, const RowReuse& reuse)
        : m_resolver(document), m_loader(loader), m_reuse(reuse) {}

    std::unique_ptr<Box> Build(const dom::Document& document) {
        const dom::Node* root = document.DocumentElement();
        if (!root) return nullptr;
        Style style = m_resolver.Resolve(*root, m_resolver.InitialStyle());
        style.display = Display::Block;
        auto box = NewBox(BoxKind::Block, root, style, nullptr);
        BuildChildren(*box, *root);
        return box;
    }

private:
    std::unique_ptr<Box> NewBox(BoxKind kind, const dom::Node* node, const Style& style, Box* parent) {
        auto box = std::make_unique<Box>();
        box->kind = kind;
        box->node = node;
        box->style = style;
        box->parent = parent;
        if (!style.backgroundImage.IsEmpty() && node && m_loader) box->backgroundPicture = LoadTile(style.backgroundImage.Text());
        return box;
    }

    // A background picture, widened to a tile of at least 64 x 64 pixels so that tiny
    // pictures do not cost a drawing call per pixel. A value that is no picture is ignored.
    paint::PicturePtr LoadTile(const CString& source) {
        paint::PicturePtr picture = m_loader(source);
        if (!picture || picture->width <= 0 || picture->height <= 0 ||
            static_cast<long long>(picture->width) * picture->height > kMaxPicturePixels ||
            picture->pixels.size() < static_cast<size_t>(picture->width) * picture->height)
            return nullptr;
        if (picture->width >= 64 && picture->height >= 64) return picture;
        auto tile = std::make_shared<paint::Picture>();
        int across = (63 + picture->width) / picture->width, down = (63 + picture->height) / picture->height;
        tile->width = picture->width * across;
        tile->height = picture->height * down;
        tile->hasAlpha = picture->hasAlpha;
        tile->pixels.resize(static_cast<size_t>(tile->width) * tile->height);
        for (int y = 0; y < tile->height; ++y)
            for (int x = 0; x < tile->width; ++x)
                tile->pixels[static_cast<size_t>(y) * tile->width + x] =
                    picture->pixels[static_cast<size_t>(y % picture->height) * picture->width + x % picture->width];
        return tile;
    }

    // The block that receives inline content: an anonymous block at the end
    // of `block` when it has block children, else the block itself.
    Box& InlineTarget(Box& block) {
        if (block.children.empty()) return block;
        Box& last = *block.children.back();
        if (!last.node && last.kind == BoxKind::Block && last.children.empty()) return last;
        Style anonymous = block.style.Inherit();
        anonymous.display = Display::Block;
        block.children.push_back(NewBox(BoxKind::Block, nullptr, anonymous, &block));
        return *block.children.back();
    }

    // Moves inline content gathered so far into an anonymous block, because a block child follows.
    void CloseInlineRun(Box& block) {
        if (!block.children.empty() || block.items.empty()) return;
        Style anonymous = block.style.Inherit();
        anonymous.display = Display::Block;
        auto run = NewBox(BoxKind::Block, nullptr, anonymous, &block);
        run->items = std::move(block.items);
        run->contexts = std::move(block.contexts);
        run->inlineBoxes = std::move(block.inlineBoxes);
        for (auto& atomic : run->inlineBoxes) atomic->parent = run.get();
        block.items.clear();
        block.contexts.clear();
        block.inlineBoxes.clear();
        block.children.push_back(std::move(run));
    }

    const InlineContext* RootContext(Box& target) {
        if (target.contexts.empty()) {
            auto context = std::make_unique<InlineContext>();
            context->style = target.style;
            target.contexts.push_back(std::move(context));
        }
        return target.contexts.front().get();
    }

    // Re-creates the chain of inline contexts `chain` (outermost first) in the target block.
    const InlineContext* ContextIn(Box& target, const Chain& chain) {
        const InlineContext* context = RootContext(target);
        for (const auto& [element, style] : chain) {
            // Reuse the context made for this element when it is the last one made.
            const InlineContext* found = nullptr;
            for (auto it = target.contexts.rbegin(); it != target.contexts.rend(); ++it)
                if ((*it)->element == element && (*it)->parent == context) { found = it->get(); break; }
                else if (it - target.contexts.rbegin() > 8) break;
            if (!found) {
                auto made = std::make_unique<InlineContext>();
                made->element = element;
                made->style = *style;
                made->parent = context;
                made->depth = context->depth + 1;
                found = made.get();
                target.contexts.push_back(std::move(made));
            }
            context = found;
        }
        return context;
    }

    InlineItem& AddItem(Box& target, InlineItem::Kind kind, const dom::Node& node, const Chain& chain, Box* atomic = nullptr) {
        InlineItem item;
        item.kind = kind;
        item.node = &node;
        item.context = ContextIn(target, chain);
        item.box = atomic;
        target.items.push_back(item);
        return target.items.back();
    }

    void BuildChildren(Box& block, const dom::Node& element) {
        Chain chain;
        BuildContent(block, element, block.style, chain);
        DropEmptyRuns(block);
    }

    void BuildContent(Box& block, const dom::Node& element, const Style& style, Chain& chain) {
        // Trees built through the interfaces have no depth limit, and every
        // walk over the boxes recurses: content nested deeper than this is
        // not shown (the parser never nests so deep).
        if (m_depth >= kMaxBoxDepth) return;
        ++m_depth;
        BuildNestedContent(block, element, style, chain);
        --m_depth;
    }

    void BuildNestedContent(Box& block, const dom::Node& element, const Style& style, Chain& chain) {
        int listNumber = 1;
        if (element.Is(Tag::Ol)) {
            const CString start = element.GetAttribute(L"start");
            if (!start.IsEmpty()) listNumber = static_cast<int>(std::clamp(std::wcstol(start.GetString(), nullptr, 10), -1000000L, 1000000L));
        }
        for (const auto& childPtr : element.Children()) {
            const dom::Node& child = *childPtr;
            if (child.IsText()) {
                if (!child.Data().IsEmpty()) AddItem(InlineTarget(block), InlineItem::Kind::Text, child, chain);
                continue;
            }
            if (!child.IsElement()) continue;
            Style childStyle = m_resolver.Resolve(child, style);
            if (childStyle.display == Display::None) continue;
            if (child.Is(Tag::Input) && child.GetAttribute(L"type").CompareNoCase(L"hidden") == 0) continue;
            if (child.Is(Tag::Br)) {
                AddItem(InlineTarget(block), InlineItem::Kind::Break, child, chain).clear = childStyle.clear;
                continue;
            }
            if (IsBlockLevel(childStyle.display) || childStyle.display == Display::Caption) {
                CloseInlineRun(block);
                auto box = NewBlock(child, childStyle, &block);
                if (box->kind == BoxKind::ListItem) {
                    if (const auto* value = child.FindAttribute(L"value"))
                        listNumber = static_cast<int>(std::clamp(std::wcstol(value->value.GetString(), nullptr, 10), -1000000L, 1000000L));
                    box->marker = box->style.listMarker >= ListMarker::Decimal ? MarkerText(box->style.listMarker, listNumber) : CString();
                    ++listNumber;
                }
                block.children.push_back(std::move(box));
                continue;
            }
            if (childStyle.display == Display::InlineBlock || childStyle.display == Display::Table ||
                childStyle.display == Display::Row || childStyle.display == Display::Cell || childStyle.display == Display::RowGroup) {
                Box& target = InlineTarget(block);
                target.inlineBoxes.push_back(NewAtomic(child, childStyle, &target));
                AddItem(target, InlineItem::Kind::Atomic, child, chain, target.inlineBoxes.back().get());
                continue;
            }
            // An inline element: its content joins the current run.
            m_styles.push_back(std::make_unique<Style>(childStyle));
            chain.emplace_back(&child, m_styles.back().get());
            BuildContent(block, child, *m_styles.back(), chain);
            chain.pop_back();
        }
    }

    std::unique_ptr<Box> NewBlock(const dom::Node& element, const Style& style, Box* parent) {
        if (style.display == Display::Table) return BuildTable(element, style, parent);
        auto box = NewBox(style.display == Display::ListItem ? BoxKind::ListItem : BoxKind::Block, &element, style, parent);
        if (element.Is(Tag::Hr)) return box;
        BuildChildren(*box, element);
        return box;
    }

    std::unique_ptr<Box> NewAtomic(const dom::Node& element, const Style& style, Box* parent) {
        if (element.Is(Tag::Img) || element.Is(Tag::Input) || element.Is(Tag::Select) || element.Is(Tag::Textarea) ||
            element.Is(Tag::Iframe) || element.Is(Tag::Object) || element.Is(Tag::Embed) || element.Is(Tag::Applet)) {
            auto box = NewBox(BoxKind::Replaced, &element, style, parent);
            if (element.Is(Tag::Img)) LoadPicture(*box);
            return box;
        }
        if (style.display == Display::Table) return BuildTable(element, style, parent);
        auto box = NewBox(BoxKind::InlineBlock, &element, style, parent);
        BuildChildren(*box, element);
        return box;
    }

    void LoadPicture(Box& box) {
        CString source = box.node->GetAttribute(L"src");
        source.Trim();
        paint::PicturePtr picture = source.IsEmpty() || !m_loader ? nullptr : m_loader(source);
        if (picture && picture->width > 0 && picture->height > 0 &&
            static_cast<long long>(picture->width) * picture->height <= kMaxPicturePixels) {
            box.picture = picture;
            box.intrinsicWidth = picture->width;
            box.intrinsicHeight = picture->height;
        } else {
            box.brokenPicture = true;
        }
    }

    std::unique_ptr<Box> BuildTable(const dom::Node& element, const Style& style, Box* parent) {
        auto table = NewBox(BoxKind::Table, &element, style, parent);
        Box* anonymousRow = nullptr;
        auto addRow = [&](const dom::Node& rowElement, const Style& rowStyle) {
            if (m_reuse)
                if (auto kept = m_reuse(rowElement)) {
                    kept->parent = table.get();
                    table->children.push_back(std::move(kept));
                    return;
                }
            auto row = NewBox(BoxKind::Row, &rowElement, rowStyle, table.get());
            for (const auto& cellPtr : rowElement.Children()) {
                if (!cellPtr->IsElement()) continue;
                Style cellStyle = m_resolver.Resolve(*cellPtr, rowStyle);
                if (cellStyle.display != Display::Cell) continue;
                row->children.push_back(NewCell(*cellPtr, cellStyle, row.get()));
            }
            table->children.push_back(std::move(row));
        };
        for (const auto& childPtr : element.Children()) {
            if (!childPtr->IsElement()) continue;
            const dom::Node& child = *childPtr;
            Style childStyle = m_resolver.Resolve(child, style);
            if (childStyle.display == Display::None) continue;
            if (childStyle.display == Display::Caption) {
                auto caption = NewBox(BoxKind::Block, &child, childStyle, table.get());
                BuildChildren(*caption, child);
                table->children.insert(table->children.begin(), std::move(caption));
                anonymousRow = nullptr;
            } else if (childStyle.display == Display::RowGroup) {
                for (const auto& rowPtr : child.Children()) {
                    if (!rowPtr->IsElement()) continue;
                    Style rowStyle = m_resolver.Resolve(*rowPtr, childStyle);
                    if (rowStyle.display == Display::Row) addRow(*rowPtr, rowStyle);
                }
                anonymousRow = nullptr;
            } else if (childStyle.display == Display::Row) {
                addRow(child, childStyle);
                anonymousRow = nullptr;
            } else if (childStyle.display == Display::Cell) {
                if (!anonymousRow) {
                    Style rowStyle = style.Inherit();
                    rowStyle.display = Display::Row;
                    table->children.push_back(NewBox(BoxKind::Row, nullptr, rowStyle, table.get()));
                    anonymousRow = table->children.back().get();
                }
                anonymousRow->children.push_back(NewCell(child, childStyle, anonymousRow));
            }
        }
        return table;
    }

    std::unique_ptr<Box> NewCell(const dom::Node& element, const Style& style, Box* row) {
        auto cell = NewBox(BoxKind::Cell, &element, style, row);
        auto span = [&](const wchar_t* name, int limit) {
            const dom::Attribute* a = element.FindAttribute(name);
            if (!a) return 1;
            long value = std::wcstol(a->value.GetString(), nullptr, 10);
            return static_cast<int>(std::clamp(value, 1L, static_cast<long>(limit)));
        };
        cell->colspan = span(L"colspan", 1000);
        cell->rowspan = span(L"rowspan", 65534);
        if (element.FindAttribute(L"rowspan") && element.GetAttribute(L"rowspan").Trim() == L"0") cell->rowspan = 65534;
        BuildChildren(*cell, element);
        return cell;
    }

    // Anonymous blocks holding nothing but collapsible white space go away.
    void DropEmptyRuns(Box& block) {
        auto& children = block.children;
        children.erase(std::remove_if(children.begin(), children.end(), [](const std::unique_ptr<Box>& child) {
                           if (child->node || child->kind != BoxKind::Block || !child->children.empty()) return false;
                           for (const auto& item : child->items)
                               if (item.kind != InlineItem::Kind::Text || !IsAllSpace(item.node->Data())) return false;
                           return true;
                       }),
                       children.end());
    }

    StyleResolver m_resolver;
    const PictureLoader& m_loader;
    const RowReuse& m_reuse;
    std::vector<std::unique_ptr<Style>> m_styles;
    int m_depth = 0;  // of the content being built
};

}  // namespace

std::unique_ptr<Box> BuildBoxes(const dom::Document& document, const PictureLoader& loader, const RowReuse& reuse) {
    return Builder(document, loader, reuse).Build(document);
}

}  // namespace layout
