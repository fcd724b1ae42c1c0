// What a drop carries, read as the runtime's texts: one reader per format a
// DropTarget unit can accept.
//
// Every format is asked for the same way: the format, no target device,
// DVASPECT_CONTENT, index -1, TYMED_HGLOBAL; each medium is released once its
// text has been copied. Texts leave here in code page 936, whatever the
// system's code page is:
// - CF_TEXT and "UniformResourceLocator" are in the system's ANSI code page;
// - "HTML Format" is UTF-8, and every no-break space in it becomes a space;
// - file names are read wide. A name that code page 936 cannot hold is left
//   out: with '?' in its place it would name another file, or match several
//   as a wildcard.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>

#include "libraries/drag_drop/drop_target.h"

namespace lib::drag_drop {

// The clipboard format of each accepted format.
CLIPFORMAT ClipboardFormat(AcceptedFormat format);

// Whether the data object says it holds the format (QueryGetData).
bool Offers(IDataObject& data, AcceptedFormat format);
// Whether it gives the format out (GetData).
bool Delivers(IDataObject& data, AcceptedFormat format);

struct DroppedText {
  std::optional<std::string> text;  // none: nothing to deliver
  bool leftOut = false;             // part of the data could not be delivered
};

// The format's data as one text. A file list gives its paths, one path as
// it is, several each followed by "\r\n", none as the empty text; so does
// a list whose every path was left out, so that the receiver still learns
// that something was dropped and can refuse it (no path is empty).
DroppedText ReadDropped(IDataObject& data, AcceptedFormat format);

}  // namespace lib::drag_drop
