// The facts about the shown document that the property panel and the properties box show, as
// lines of text: file name, pages, title, author, producer, PDF version, page size.
#ifndef LUMIVEX_STANDIN_DOCUMENT_FACTS_H
#define LUMIVEX_STANDIN_DOCUMENT_FACTS_H

#include <string>
#include <vector>

#include "shown_document.h"

namespace lvx::standin {

// Lines "File: ...", "Pages: ...", and so on, separated by "\r\n". `current` is the page whose
// size is given (the current page), -1 for the first. Without files: "No document".
std::string DescribeDocument(const ShownDocument* document, int current);

// "612 x 792 pt (216 x 279 mm)", with the page's rotation applied.
std::string DescribePageSize(const pdf::PageGeometry& geometry);

}  // namespace lvx::standin

#endif
