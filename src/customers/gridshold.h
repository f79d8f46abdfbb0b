#pragma once

#include <QPointer>
#include <QSignalBlocker>

#include <memory>
#include <vector>

class Dataset;
class QAbstractItemView;

// Keeps every grid over a dataset from moving it while it drops a new row.
// A grid whose current row is the new one is moved to a neighbour as the
// row goes, and a grid that followed that by moving the dataset would
// store the very row being given up (or remove it twice). Held for the
// length of a scope; the grids catch up with the dataset afterwards.
class GridsHeld
{
public:
    explicit GridsHeld(Dataset *set);
    ~GridsHeld();
    GridsHeld(const GridsHeld &) = delete;
    GridsHeld &operator=(const GridsHeld &) = delete;

private:
    std::vector<std::unique_ptr<QSignalBlocker>> m_blockers;
    std::vector<QPointer<QAbstractItemView>> m_views;
};
