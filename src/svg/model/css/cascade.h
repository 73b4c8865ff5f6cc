#pragma once
// The cascade: which declarations reach an element, in CSS order. From lowest to
// highest priority: the element's presentation attributes, the matching document
// rules by ascending specificity (document order among equals), the `style`
// attribute, then the !important declarations of the rules and of the `style`
// attribute in the same order.

#include "svg/model/css/style.h"

#include <memory>
#include <vector>

class TSVGGraphicElement;

// The enabled document rules whose selector matches the element, in the order they
// apply. Raises "Invalid selector: %s" for a malformed selector.
std::vector<const TSVGStyle *> SVGMatchingRules(const TSVGGraphicElement &Element);

// One declaration per presentation property: the value that wins the cascade, given the
// element's matching rules (SVGMatchingRules).
std::unique_ptr<TSVGStyle> SVGCascadedStyle(const TSVGGraphicElement &Element,
                                            const std::vector<const TSVGStyle *> &Rules);
