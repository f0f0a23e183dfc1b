#include "WidgetCreation_p.h"

#include <kivra/Registry.h>

#include "FieldPreparation_p.h"
#include "FormBuild_p.h"
#include "ObjectValue_p.h"
#include "SignalWiring_p.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kivra {

namespace {

// The page being built joins its tab widget, and its layout leaves the stack (with any layout
// its fields left open).
void closeCurrentPage(FormBuild &build)
{
    if (!build.hasOpenTab() || build.tabs.last().pages.isEmpty())
        return;
    TabContext &tab = build.tabs.last();
    TabContext::Page &page = tab.pages.last();
    if (!page.open || !page.placeholder || !page.layout)
        return;
    page.open = false;
    auto *pageWidget = new QWidget;
    const auto entry =
        std::find_if(build.layouts.begin(), build.layouts.end(),
                     [&page](const LayoutStackEntry &e) { return e.layout == page.layout; });
    build.layouts.erase(entry, build.layouts.end());
    pageWidget->setLayout(page.layout);
    tab.tabWidget->addTab(pageWidget, page.caption);
}

} // namespace

void createTabWidget(FormBuild &build, Field &field)
{
    auto *tabWidget = objectFromValue<QTabWidget>(field.record.value);
    if (!tabWidget)
        tabWidget = new QTabWidget;
    const bool hasIndex = field.start.isValid() && !field.start.toString().isEmpty();
    build.tabStartIndexes.append(
        {tabWidget, hasIndex ? field.start.toInt() : -1, handlerContext(build, field, tabWidget)});
    build.tabs.append({tabWidget, {}, 0});
    field.captionPairs.append(CaptionPair {nullptr, {}});
    registerFieldWidget(build, field, tabWidget, kTabWidget, Enrolment::Value);
}

void createTabPage(FormBuild &build, Field &field)
{
    closeCurrentPage(build);
    TabContext &tab = build.tabs.last();
    ++tab.pageCount;
    if (auto *own = objectFromValue<QWidget>(field.record.value)) {
        tab.tabWidget->addTab(own, field.caption);
        registerFieldWidget(build, field, own, kTabPage, Enrolment::Part);
        field.unplaced.append(own);
        return;
    }
    auto *layout = new QVBoxLayout;
    build.layouts.append({layout, 0, 0});
    auto *placeholder = new QWidget;
    registerFieldWidget(build, field, placeholder, kTabPage, Enrolment::Part);
    tab.pages.append({placeholder, layout, field.caption, true});
}

void endTabPages(FormBuild &build, Field &)
{
    closeCurrentPage(build);
    if (!build.tabs.isEmpty())
        build.tabs.removeLast();
}

} // namespace kivra
