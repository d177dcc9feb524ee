// The form capture text of a page: one entry per field of every web form,
// in document order:
//   input (not radio), textarea:  name>>>value|||
//   select-one:                   name>>>selectedIndex<<<|||
//   select-multiple:              name>>>text<<<|||text<<<|||...  (every option)
// Radio buttons give nothing; a checkbox gives its value whether checked or not.
#pragma once
#include "core/String.h"

#include <mshtml.h>

CString CaptureForms(IHTMLDocument2* document);
