#include "app/FormTable.h"

#include <algorithm>
#include <cstring>

namespace brim::app {

const Control* findControl(const Form& form, int id) {
    for (const Control& c : form.controls)
        if (c.id == id) return &c;
    return nullptr;
}

const Control* findControl(const Form& form, const char* name) {
    for (const Control& c : form.controls)
        if (std::strcmp(c.name, name) == 0) return &c;
    return nullptr;
}

const MenuItem* findMenuItem(const Form& form, int id) {
    for (const Menu& m : form.menus)
        for (const MenuItem& i : m.items)
            if (i.id == id && i.caption) return &i;
    return nullptr;
}

std::vector<const Control*> tabOrder(const Form& form, int height) {
    std::vector<const Control*> order;
    for (const Control& c : form.controls)
        if (c.tab != kNoTab && c.place.top < height) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tab < b->tab; });
    return order;
}

}  // namespace brim::app
