#pragma once
// Points the font panel at a template object: its line table and the font
// and alignment texts of the title, date and time.
#include "templates/template.h"
#include "text/fontpanel.h"

#include <type_traits>

static_assert(std::is_same_v<decltype(templates::Template::gstrTemplateLines), FontLineTable>,
              "the font panel edits the template's line table in place");

inline FontPanelTemplate fontPanelTemplateOf(templates::Template& t)
{
    return {&t.gstrTemplateLines, &t.gstrTitleFont, &t.gstrTitleAlign, &t.gstrDateFont,
            &t.gstrDateAlign,     &t.gstrTimeFont,  &t.gstrTimeAlign};
}
