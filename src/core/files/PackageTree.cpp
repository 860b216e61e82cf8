#include "PackageTree.h"

PackageTree PackageTree::file(QByteArray contents) {
    PackageTree node;
    node.regularFile = true;
    node.bytes = std::move(contents);
    return node;
}

PackageTree PackageTree::carried(QString sourcePath, FileStamp stamp) {
    PackageTree node;
    node.regularFile = true;
    node.source = std::move(sourcePath);
    node.stamp = stamp;
    return node;
}

PackageTree PackageTree::directory(Entries entries) {
    PackageTree node;
    node.children = std::move(entries);
    return node;
}

const PackageTree* PackageTree::entry(const QString& name) const {
    const auto found = children.find(name);
    return found == children.end() ? nullptr : &found->second;
}

void PackageTree::insert(const QString& name, PackageTree child) {
    regularFile = false;
    bytes.clear();
    source.clear();
    children.insert_or_assign(name, std::move(child));
}
