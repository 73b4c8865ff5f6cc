#pragma once
// Brackets a change of an element and of its document, so that the document reports
// the whole change once when the bracket closes.

#include "svg/model/dom/element.h"

#include <exception>

class TSVGUpdateGuard {
public:
    explicit TSVGUpdateGuard(TSVGElement *aElement);
    // The closing EndUpdate fires the document's change event; a handler that raises
    // while no other exception is in flight passes its exception on.
    ~TSVGUpdateGuard() noexcept(false);
    TSVGUpdateGuard(const TSVGUpdateGuard &) = delete;
    TSVGUpdateGuard &operator=(const TSVGUpdateGuard &) = delete;

private:
    TSVGElement *FElement;
    TSVGElement *FDocument;
    int FExceptions;
};
