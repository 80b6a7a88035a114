// The page: inputs built from the core's catalogue, a state that is the query string in
// lumitra-render's option names, and the figure drawn by the core at every change.
import createLumitra from './lumitra.js';
import { texts } from './texts.js';

// Japanese for a Japanese browser, English for every other, as the desktop program chooses.
const language = /^ja\b/i.test(navigator.language || '') ? 'ja' : 'en';
const bySjis = new Map(Object.values(texts).map((text) => [text.sjis, text]));
const text = (name) => texts[name][language].trim();
const caption = (sjis) => (bySjis.get(sjis) || { [language]: sjis })[language].trim();

const core = await createLumitra();
const catalogue = JSON.parse(core.ccall('lumitra_catalogue', 'string', [], []));
const control = new Map(catalogue.controls.map((c) => [c.name, c]));
const switches = new Map(catalogue.switches.map((s) => [s.name, s]));

// The options in the order they were given: an edit moves its option to the end, so that
// the axes move as the desktop program's edits, in that order, move them.
let options = [];
let state;
let azimuth = 0;

function optionLines(list) {
  return list.map(([name, value]) => `${name}=${value}`).join('\n');
}

function apply(list) {
  state = JSON.parse(core.ccall('lumitra_set_query', 'string', ['string'], [optionLines(list)]));
  options = state.accepted;
  const query = new URLSearchParams(options).toString();
  history.replaceState(null, '', query ? `?${query}` : location.pathname);
  showNotices(state.notices);
  refreshInputs();
  requestDraw();
}

function setOption(name, value, removed = []) {
  const gone = new Set([name, ...removed]);
  apply([...options.filter(([n]) => !gone.has(n)), ...(value === null ? [] : [[name, value]])]);
}

function showNotices(notices) {
  const notice = document.getElementById('notice');
  notice.hidden = notices.length === 0;
  document.getElementById('notice-title').textContent = text('ignored_options');
  document.getElementById('notice-list').replaceChildren(
    ...notices.map((line) => Object.assign(document.createElement('li'), { textContent: line })));
}

// The inputs, each labelled with the program's own text; visible(kind) tells whether an
// input belongs to the current crystal kind.
const form = document.getElementById('controls');
const inputs = [];

function group(title) {
  const fieldset = document.createElement('fieldset');
  fieldset.append(Object.assign(document.createElement('legend'), { textContent: title }));
  form.append(fieldset);
  return fieldset;
}

function row(fieldset, label, input, visible = () => true) {
  const div = Object.assign(document.createElement('div'), { className: 'row' });
  input.id = `input-${inputs.length}`;
  div.append(Object.assign(document.createElement('label'), { htmlFor: input.id, textContent: label }), input);
  fieldset.append(div);
  inputs.push({ input, div, visible });
  return input;
}

function numberInput(fieldset, label, name, visible) {
  const c = control.get(name);
  const input = Object.assign(document.createElement('input'), {
    type: 'number', min: c.lower, max: c.upper, step: c.step, name });
  input.addEventListener('input', () => {
    if (input.value !== '' && input.checkValidity()) setOption(name, input.value);
  });
  input.refresh = () => { input.value = Number(state.values[name].toFixed(c.digits)); };
  return row(fieldset, label, input, visible);
}

function select(fieldset, label, entries, onChange, current, visible) {
  const input = document.createElement('select');
  input.addEventListener('change', () => onChange(input.value));
  input.refresh = () => {
    const list = entries();
    input.replaceChildren(...list.map(([value, shown]) => new Option(shown, value)));
    input.value = current();
  };
  return row(fieldset, label, input, visible);
}

// A switch by its option; choosing a value also drops the options it would contradict.
function switchSelect(fieldset, name, dropped = []) {
  const s = switches.get(name);
  return select(fieldset, caption(s.tip), () => s.values.map((v) => [v.value, caption(v.caption)]),
                (value) => setOption(name, value, dropped), () => state.values[name]);
}

const uniaxial = () => state.values['axis-type'] === 0;
const biaxial = () => !uniaxial();
const kindOptions = ['axis-type', 'omega', 'epsilon', 'alpha', 'gamma', 'two-vz', 'two-vx', 'mineral'];
const orientationOptions = ['c', 'x', 'y', 'z', 'a', 'b'].flatMap(
  (axis) => [`${axis}-axis-theta`, `${axis}-axis-phi`]).concat('section');

const crystal = group(text('optical_properties_frame'));
switchSelect(crystal, 'axis-type', ['mineral', 'section']);
select(crystal, text('mineral'),
  () => [['', text('custom_values')], ...catalogue.minerals.map(
    (m, i) => [i, language === 'ja' && m.nameJa ? m.nameJa : m.name])],
  (value) => {
    if (value === '') {
      const kept = uniaxial() ? ['axis-type', 'omega', 'epsilon'] : ['axis-type', 'alpha', 'gamma', 'two-vz'];
      apply([...options.filter(([n]) => !kindOptions.includes(n)),
             ...kept.map((n) => [n, String(state.values[n])])]);
    } else {
      setOption('mineral', catalogue.minerals[value].name, kindOptions);
    }
  },
  () => (state.mineral >= 0 ? state.mineral : ''));
numberInput(crystal, text('ordinary_index_tip'), 'omega', uniaxial);
numberInput(crystal, text('extraordinary_index_tip'), 'epsilon', uniaxial);
numberInput(crystal, text('least_index_tip'), 'alpha', biaxial);
numberInput(crystal, text('greatest_index_tip'), 'gamma', biaxial);
numberInput(crystal, text('two_vz_tip'), 'two-vz', biaxial);

const orientation = group(text('orientation_frame'));
// The section chosen last, as long as no edit of an axis came after it.
const currentSection = () => {
  const last = options.filter(([n]) => orientationOptions.includes(n)).pop();
  return last && last[0] === 'section' ? last[1] : '';
};
select(orientation, text('section'),
  () => [['', text('custom_values')], ...state.sections.map((s) => [s.option, caption(s.label)])],
  (value) => setOption('section', value === '' ? null : value, orientationOptions),
  currentSection);
numberInput(orientation, `${text('c_optic_axis')} θ`, 'c-axis-theta', uniaxial);
numberInput(orientation, `${text('c_optic_axis')} φ`, 'c-axis-phi', uniaxial);
for (const axis of ['x', 'y', 'z']) {
  for (const angle of ['theta', 'phi']) {
    numberInput(orientation, `${axis.toUpperCase()} ${angle === 'theta' ? 'θ' : 'φ'}`,
                `${axis}-axis-${angle}`, biaxial);
  }
}

const other = group(text('other_parameters_frame'));
numberInput(other, text('thickness'), 'thickness');
numberInput(other, text('numerical_aperture'), 'numerical-aperture');
const size = numberInput(other, text('image_size'), 'image-size-single');
{
  // The accessory is chosen by its --plate name; the wedge's setting goes with the wedge.
  const s = switches.get('no-test-plate');
  const plates = new Map(catalogue.plates.map((p) => [p.value, p.name]));
  select(other, caption(s.tip), () => s.values.map((v) => [v.value, caption(v.caption)]),
    (value) => {
      const name = plates.get(Number(value));
      setOption('plate', name, ['no-test-plate', ...(name === 'wedge' ? [] : ['wedge-retardation'])]);
    },
    () => state.values['no-test-plate']);
}
const wedge = Object.assign(document.createElement('input'), { type: 'range' });
{
  const c = control.get('wedge-retardation');
  Object.assign(wedge, { min: c.lower, max: c.upper, step: c.step });
  wedge.addEventListener('input', () => setOption('wedge-retardation', wedge.value));
  wedge.refresh = () => { wedge.value = state.values['wedge-retardation']; wedge.title = wedge.value; };
  row(other, text('wedge_retardation'), wedge, () => state.values['no-test-plate'] === 3);
}
switchSelect(other, 'draw-range');
switchSelect(other, 'projection-kind');

function refreshInputs() {
  size.max = state.imageSizeMax;
  for (const { input, div, visible } of inputs) {
    div.hidden = !visible();
    if (document.activeElement !== input || input.tagName === 'SELECT') input.refresh();
  }
}

// The figure: drawn at the next display frame after a change, however many changes came.
const canvas = document.getElementById('figure');
const context = canvas.getContext('2d');
let drawPending = false;
window.lumitraRedraws = [];

function draw() {
  drawPending = false;
  const start = performance.now();
  const side = state.values['image-size-single'];
  const pixels = core._lumitra_render(azimuth);
  if (canvas.width !== side) canvas.width = canvas.height = side;
  const image = new ImageData(new Uint8ClampedArray(core.HEAPU8.buffer, pixels, side * side * 4).slice(), side);
  context.putImageData(image, 0, 0);
  window.lumitraRedraws.push(performance.now() - start);
  document.body.dataset.drawn = String(window.lumitraRedraws.length);
}

function requestDraw() {
  if (!drawPending) {
    drawPending = true;
    requestAnimationFrame(draw);
  }
}

// The read-out line: what the figure shows under the pointer, in the figure's own pixels.
const readout = document.getElementById('readout');
function readAt(event) {
  const box = canvas.getBoundingClientRect();
  const x = Math.floor(((event.clientX - box.left) * canvas.width) / box.width);
  const y = Math.floor(((event.clientY - box.top) * canvas.height) / box.height);
  const r = JSON.parse(core.ccall('lumitra_readout', 'string', ['number', 'number'], [x, y]));
  const effect = ['−', '', '+'][r.effect + 1];
  readout.textContent = !r.inside ? '' :
    `θ ${r.theta.toFixed(1)}°  φ ${r.phi.toFixed(1)}°  n ${r.slowIndex.toFixed(4)} / ` +
    `${r.fastIndex.toFixed(4)}  Γ ${r.retardation.toFixed(0)} nm (${r.order})${effect}  ` +
    `↗ ${r.slowAzimuth.toFixed(0)}°`;
}
canvas.addEventListener('pointermove', readAt);
canvas.addEventListener('pointerdown', readAt);
canvas.addEventListener('pointerleave', () => { readout.textContent = ''; });

// The stage: its azimuth turns the crystal; play turns it at the desktop program's speed.
const stage = document.getElementById('stage-azimuth');
const stageValue = document.getElementById('stage-azimuth-value');
const play = document.getElementById('play');
document.getElementById('stage-azimuth-label').textContent = text('stage_azimuth');
Object.assign(stage, {
  min: catalogue.stageAzimuth.lower, max: catalogue.stageAzimuth.upper, step: catalogue.stageAzimuth.step });

function setAzimuth(degrees) {
  azimuth = degrees;
  stage.value = degrees;
  stageValue.textContent = `${Math.round(degrees)}°`;
  requestDraw();
}
stage.addEventListener('input', () => setAzimuth(Number(stage.value)));

let playing = null;
function turn(now, then) {
  if (playing === null) return;
  const turned = azimuth + (catalogue.speed * (now - then)) / 1000;
  setAzimuth(turned % (Number(stage.max) + Number(stage.step)));
  playing = requestAnimationFrame((next) => turn(next, now));
}
play.textContent = text('start');
play.addEventListener('click', () => {
  if (playing === null) {
    playing = requestAnimationFrame((now) => turn(now, now));
    play.textContent = text('stop');
  } else {
    cancelAnimationFrame(playing);
    playing = null;
    play.textContent = text('start');
  }
});

const save = document.getElementById('save-png');
save.textContent = text('save_png');
save.addEventListener('click', () => {
  canvas.toBlob((blob) => {
    const link = Object.assign(document.createElement('a'), {
      href: URL.createObjectURL(blob), download: 'lumitra.png' });
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }, 'image/png');
});

document.documentElement.lang = language;
setAzimuth(0);
apply([...new URLSearchParams(location.search)]);
