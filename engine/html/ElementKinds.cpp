#include "html/ElementKinds.h"

#include <array>

namespace html::kinds {

bool Has(Tag tag, unsigned char kind) {
    static const auto kinds = [] {
        std::array<unsigned char, static_cast<size_t>(Tag::Xmp) + 1> table{};
        auto mark = [&table](std::initializer_list<Tag> tags, unsigned char kind) {
            for (Tag tag : tags) table[static_cast<size_t>(tag)] |= kind;
        };
        mark({Tag::A, Tag::B, Tag::Big, Tag::Code, Tag::Em, Tag::Font, Tag::I, Tag::Nobr, Tag::S, Tag::Small, Tag::Strike,
              Tag::Strong, Tag::Tt, Tag::U},
             kFormatting);
        mark({Tag::Address, Tag::Article, Tag::Aside, Tag::Blockquote, Tag::Center, Tag::Details, Tag::Dir, Tag::Div,
              Tag::Dl, Tag::Fieldset, Tag::Figcaption, Tag::Figure, Tag::Footer, Tag::Header, Tag::Hgroup, Tag::Main,
              Tag::Menu, Tag::Nav, Tag::Ol, Tag::Section, Tag::Summary, Tag::Ul},
             kBlock | kSpecial);
        mark({Tag::Applet, Tag::Area, Tag::Base, Tag::Basefont, Tag::Bgsound, Tag::Body, Tag::Br, Tag::Button, Tag::Caption,
              Tag::Col, Tag::Colgroup, Tag::Dd, Tag::Dt, Tag::Embed, Tag::Form, Tag::Frame, Tag::Frameset, Tag::H1, Tag::H2,
              Tag::H3, Tag::H4, Tag::H5, Tag::H6, Tag::Head, Tag::Hr, Tag::Html, Tag::Iframe, Tag::Img, Tag::Input,
              Tag::Isindex, Tag::Keygen, Tag::Li, Tag::Link, Tag::Listing, Tag::Marquee, Tag::Meta, Tag::Noembed,
              Tag::Noframes, Tag::Noscript, Tag::Object, Tag::P, Tag::Param, Tag::Plaintext, Tag::Pre, Tag::Script,
              Tag::Select, Tag::Source, Tag::Style, Tag::Table, Tag::Tbody, Tag::Td, Tag::Textarea, Tag::Tfoot, Tag::Th,
              Tag::Thead, Tag::Title, Tag::Tr, Tag::Track, Tag::Wbr, Tag::Xmp},
             kSpecial);
        mark({Tag::Applet, Tag::Caption, Tag::Html, Tag::Table, Tag::Td, Tag::Th, Tag::Marquee, Tag::Object}, kScopeEdge);
        return table;
    }();
    return (kinds[static_cast<size_t>(tag)] & kind) != 0;
}

}  // namespace html::kinds
