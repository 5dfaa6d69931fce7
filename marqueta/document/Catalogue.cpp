#include "marqueta/document/Catalogue.h"

#include "marqueta/publish/DeleteBanner.h"
#include "marqueta/publish/PublishBanner.h"

Catalogue::Catalogue(platform::MessageBoxes& boxes, std::ostream* trace)
    : context_{paths_, rows_, boxes, nullptr, &file_, trace} {}

bool Catalogue::load() { return reloadCatalogue(context_); }

bool Catalogue::save() { return saveCatalogue(context_); }

std::optional<int> Catalogue::mayBeWritten(int row, bool* editKept) { return rowMayBeWritten(context_, row, editKept); }

bool Catalogue::mayBeLeft() { return catalogueMayBeLeft(context_); }

bool Catalogue::publish(int row, const BannerRecord& submitted, const std::string& loadedUrl,
                        const std::string& chosenImage) {
    return PublishBanner(row, BannerEdit{submitted, loadedUrl, chosenImage}, context_);
}

void Catalogue::deleteBanner(int firstSelectedRow) { DeleteSelectedBanner(context_, firstSelectedRow); }
