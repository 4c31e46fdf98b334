// Marks under the time slider: where the vehicle changes gear, and where a brake starts to act.

// The renders where something happens: { render, kind: 'gear' | 'brake', text }.
export function rideMarks(renders) {
  const marks = [];
  renders.forEach((render, k) => {
    const before = renders[k - 1];
    if (before && render.gear !== before.gear) {
      marks.push({ render: k, kind: 'gear', text: render.gear === 0 ? 'to neutral' : `to gear ${render.gear}` });
    }
    for (const brake of render.brakes ?? []) {
      if (!before?.brakes?.includes(brake)) marks.push({ render: k, kind: 'brake', text: `${brake} brake on` });
    }
  });
  return marks;
}

// Marks nearer than this share no row: one apart, each is easy to hit on a narrow slider too.
const apart = 0.03; // of the slider's length
const rowHeight = 14; // px, as tall as a mark and the gap below it

// Lays the marks in rows: each in the first row where it stays apart from the marks before it.
function markRows(marks, renders) {
  const ends = [];
  return marks.map((mark) => {
    const at = (mark.render + 1) / Math.max(renders, 1);
    let row = ends.findIndex((end) => at - end >= apart);
    if (row < 0) row = ends.length;
    ends[row] = at;
    return { at, row };
  });
}

export function showMarks(container, marks, renders, seek) {
  container.replaceChildren();
  const rows = markRows(marks, renders);
  container.style.height = `${Math.max(1, ...rows.map(({ row }) => row + 1)) * rowHeight}px`;
  marks.forEach((mark, i) => {
    const element = document.createElement('button');
    element.type = 'button';
    element.className = `mark ${mark.kind}`;
    // The slider runs from -1, the modelled pose, to the last render.
    element.style.left = `${100 * rows[i].at}%`;
    element.style.top = `${rows[i].row * rowHeight}px`;
    element.title = `render ${mark.render + 1}: ${mark.text}`;
    element.setAttribute('aria-label', element.title);
    element.addEventListener('click', () => seek(mark.render));
    container.append(element);
  });
}
