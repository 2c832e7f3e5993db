#pragma once

#include "core/Variant.h"
#include "core/VbError.h"

#include <QVector>

// A two-dimensional array of dynamic values with its own bounds in each dimension, the way the
// hydrostatic tables travel between a survey window and its draft. The first index is the table
// row (or result kind), the second the column (or quantity). A fresh array holds Empty values.
// Reaching outside the bounds throws VbError::subscriptOutOfRange().
class VariantArray2D {
public:
    VariantArray2D() = default;  // no elements: both dimensions run from 0 to -1
    // rows x columns, both indices from 0.
    VariantArray2D(int rows, int columns)
        : VariantArray2D(0, rows - 1, 0, columns - 1)
    {
    }
    // Indices lower1..upper1 by lower2..upper2, bounds included.
    VariantArray2D(int lower1, int upper1, int lower2, int upper2)
        : m_lower1(lower1), m_upper1(upper1), m_lower2(lower2), m_upper2(upper2)
    {
        if (upper1 < lower1 - 1 || upper2 < lower2 - 1)
            throw VbError::subscriptOutOfRange();
        m_values.resize(count1() * count2());
    }

    int lowerBound(int dimension) const { return dimension == 1 ? m_lower1 : m_lower2; }
    int upperBound(int dimension) const { return dimension == 1 ? m_upper1 : m_upper2; }

    bool contains(int i, int j) const
    {
        return i >= m_lower1 && i <= m_upper1 && j >= m_lower2 && j <= m_upper2;
    }

    const Variant& at(int i, int j) const { return m_values.at(offset(i, j)); }
    Variant& at(int i, int j) { return m_values[offset(i, j)]; }
    const Variant& operator()(int i, int j) const { return at(i, j); }
    Variant& operator()(int i, int j) { return at(i, j); }

    void fill(const Variant& value) { m_values.fill(value); }

    bool operator==(const VariantArray2D& other) const = default;

private:
    int count1() const { return m_upper1 - m_lower1 + 1; }
    int count2() const { return m_upper2 - m_lower2 + 1; }
    qsizetype offset(int i, int j) const
    {
        if (!contains(i, j))
            throw VbError::subscriptOutOfRange();
        return qsizetype(i - m_lower1) * count2() + (j - m_lower2);
    }

    int m_lower1 = 0;
    int m_upper1 = -1;
    int m_lower2 = 0;
    int m_upper2 = -1;
    QVector<Variant> m_values;
};
