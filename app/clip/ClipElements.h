// The values of the clip command line: the tagged text with which the browser and Explorer
// libraries start a process of the program. Three kinds arrive:
//   link clip        <param><url>ADDRESS</url><name>TITLE</name></param><form>F</form>
//   form block clip  <TQBLK>n</TQBLK><AAi>BLOCK</AA>
//   event clip       <evt><name>..</name><file>..</file><edate>..</edate><eip>..</eip></evt>
// Nothing inside an element is escaped, and the title and form text come from
// any web page, so a value may hold its own closing tag. The readers here take
// each value up to the closing tag that the writers put after it: the last
// "</name>" before the last "</param>", the last "</AA>", and so on.
#pragma once
#include "core/String.h"

struct LinkClip {
    CString address;         // <url>, empty when missing
    CString title;           // <name>, apostrophes turned into blanks; the
                             // description when the name is a picture element
    CString formFlag;        // <form>: "1" when form blocks were sent before
    CString pictureAddress;  // <src> of a picture element in <name>
};
LinkClip ParseLinkClip(const CString& commandLine);

// An address never carries raw markup: "<" and ">" are written as the URL
// escapes %3C and %3E, as a browser itself writes them.
CString EscapeMarkupInAddress(const CString& address);

struct FormBlockClip {
    CString number;  // the digits of the AA tag exactly as written
    CString text;    // the block's form capture text
};
// False when the line holds no block element with a number and some text.
bool ParseFormBlockClip(const CString& commandLine, FormBlockClip& block);

struct EventClip {
    CString name;  // <name>: the event
    CString file;  // <file>: page path below Allpages, no extension
    CString date;  // <edate>
    CString text;  // <eip>: the entry's text
};
EventClip ParseEventClip(const CString& commandLine);
