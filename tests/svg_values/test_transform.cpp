// Transform lists.

#include "errors/errors.h"
#include "svg/model/values/exception.h"
#include "svg/model/values/transform.h"

#include <gtest/gtest.h>

namespace {

TEST(SVGTransform, MapsPoints)
{
    const struct {
        const char *text;
        QPointF in, out;
    } rows[] = {
        {"translate(10) scale(2)", {1, 1}, {12, 2}},
        {"translate(10,20), scale(2)", {1, 1}, {12, 22}},
        {"translate(10,20) ,scale(2)", {1, 1}, {12, 22}},
        {"scale(2)translate(1)", {1, 1}, {4, 2}},
        {"rotate(90 10 10)", {20, 10}, {10, 20}},
        {"rotate(90)", {1, 0}, {0, 1}},
        {"skewX(45)", {0, 1}, {1, 1}},
        {"skewY(45)", {1, 0}, {1, 1}},
        {"skewX()", {3, 4}, {3, 4}},
        {"skewX(45, 10)", {0, 1}, {1, 1}},
        {"matrix(1 2 3 4 5 6)", {1, 1}, {9, 12}},
        {"matrix(1,0,0,1,-5-6)", {0, 0}, {-5, -6}},
        {"scale(2,3)", {1, 1}, {2, 3}},
        {"translate(5)", {1, 1}, {6, 1}},
        {"translate(1e1-5)", {1, 1}, {11, -4}},
        {"", {3, 4}, {3, 4}},
        {"translate(10", {3, 4}, {3, 4}},
        {"translate(10) scale(2", {1, 1}, {11, 1}},
        {"translate(10) trailing", {1, 1}, {11, 1}},
    };
    for (const auto &r : rows) {
        const QPointF p = ParseTransform(QString::fromLatin1(r.text)).Map(r.in);
        EXPECT_NEAR(p.x(), r.out.x(), 1e-5) << r.text;
        EXPECT_NEAR(p.y(), r.out.y(), 1e-5) << r.text;
    }
}

TEST(SVGTransform, ErrorsCarryTheirMessages)
{
    const struct {
        const char *text, *message;
    } rows[] = {
        {"matrix(1 2 3)", "Invalid matrix: 1 2 3"},
        {"translate()", "Invalid translate transformation matrix: "},
        {"scale(1,2,3)", "Invalid scale transformation matrix: 1,2,3"},
        {"rotate(1,2)", "Invalid rotation transformation matrix: 1,2"},
        {"foo(1)", "Invalid transformation: foo"},
        {"Scale(2)", "Invalid transformation: Scale"},
        {"translate(1),,scale(2)", "Invalid transformation: ,scale"},
        {", scale(2)", "Invalid transformation: , scale"},
    };
    for (const auto &r : rows) {
        try {
            ParseTransform(QString::fromLatin1(r.text));
            ADD_FAILURE() << "no exception for " << r.text;
        } catch (const ESVGException &e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(r.message)) << r.text;
        }
    }
    EXPECT_THROW(ParseTransform(QStringLiteral("translate(a)")), EConvertError);
    EXPECT_THROW(ParseTransform(QStringLiteral("scale(2) rotate(1x)")), EConvertError);
}

} // namespace
