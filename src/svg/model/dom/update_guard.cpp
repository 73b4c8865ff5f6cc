#include "svg/model/dom/update_guard.h"

#include "svg/model/dom/document.h"

TSVGUpdateGuard::TSVGUpdateGuard(TSVGElement *aElement)
    : FElement(aElement), FDocument(aElement->Document()),
      FExceptions(std::uncaught_exceptions())
{
    if (FDocument == FElement)
        FDocument = nullptr;
    FElement->BeginUpdate();
    if (FDocument)
        FDocument->BeginUpdate();
}

TSVGUpdateGuard::~TSVGUpdateGuard() noexcept(false)
{
    if (std::uncaught_exceptions() > FExceptions) {
        // Unwinding already: the first error is the one the caller must see.
        try {
            FElement->EndUpdate();
            if (FDocument)
                FDocument->EndUpdate();
        } catch (...) {
        }
        return;
    }
    try {
        FElement->EndUpdate();
    } catch (...) {
        if (FDocument)
            FDocument->EndUpdate();
        throw;
    }
    if (FDocument)
        FDocument->EndUpdate();
}
