// The clip command lines with which the libraries start the main program.
// Nothing is escaped: page text passes as the page gives it.
#pragma once
#include "core/String.h"

// What a link clip says about form blocks sent before it.
enum class FormFlag {
    Absent,   // no <form> element (the Explorer item)
    Empty,    // <form></form>
    NotSent,  // <form>0</form>
    Sent,     // <form>1</form>
};

// <param><url>url</url><name>name</name></param> and the form element.
CString LinkClip(const CString& url, const CString& name, FormFlag flag);

// <TQBLK>count</TQBLK><AAnumber>text</AA>
CString FormBlockClip(int count, int number, const CString& text);
