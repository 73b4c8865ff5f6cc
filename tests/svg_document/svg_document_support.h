#pragma once
// Small helpers for the document tests: load a text, find an element by id.

#include "errors/errors.h"
#include "svg/model/dom/document.h"

#include <gtest/gtest.h>
#include <memory>

inline std::unique_ptr<TSVGDocument> LoadSVG(const QString &text)
{
    auto doc = std::make_unique<TSVGDocument>();
    doc->LoadFromText(text);
    return doc;
}

// The element with the id, cast to T; fails the test when it is missing.
template <typename T = TSVGGraphicElement>
T *Find(const TSVGDocument &doc, const QString &id)
{
    T *element = dynamic_cast<T *>(doc.FindElement(id));
    EXPECT_NE(element, nullptr) << "no element " << id.toStdString() << " of the expected class";
    return element;
}

// The message of the exception a call raises, or "" when it raises none.
template <typename Call>
QString MessageOf(Call call)
{
    try {
        call();
    } catch (const EVuploraError &e) {
        return e.Message();
    }
    return QString();
}

inline const char *SVGNamespace()
{
    return "http://www.w3.org/2000/svg";
}
